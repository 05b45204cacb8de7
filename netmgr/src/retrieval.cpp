// SnmpRecvMsg: one queued item per call, notifications first, then
// received datagrams, then time-outs.
#include "call_frame.h"
#include "codec.h"
#include "context.h"
#include "entity.h"
#include "outstanding_request.h"
#include "pdu.h"
#include "session.h"

#include "udpwire/ptr_list.h"

#include <cstring>

using namespace netmgr;

namespace {

struct Outputs {
  LPHSNMP_ENTITY source;
  LPHSNMP_ENTITY destination;
  LPHSNMP_CONTEXT context;
  LPHSNMP_PDU pdu;

  void store(HSNMP_ENTITY from, HSNMP_ENTITY to, HSNMP_CONTEXT community, HSNMP_PDU request) const {
    *source = from;
    *destination = to;
    *context = community;
    *pdu = request;
  }
};

bool takeNotification(Session& session, const Outputs& outputs) {
  auto* item = static_cast<PendingNotification*>(session.notifications->RemoveHead());
  if (!item) return false;
  outputs.store(item->source, item->destination, item->context, item->pdu);
  item->source = item->destination = nullptr;
  item->context = nullptr;
  item->pdu = nullptr;
  releaseNotification(item);
  return true;
}

// Datagrams that do not decode are released and skipped.
bool takeDatagram(Session& session, const Outputs& outputs) {
  while (auto* record = static_cast<ReceivedDatagram*>(session.received->RemoveHead())) {
    sockaddr_in sender{};
    std::memcpy(&sender, record->sender, sizeof sender);
    DecodedMessage decoded;
    uint32_t error = decodeDatagram(session, sender, record->octets, record->length, decoded);
    releaseReceived(record);
    if (error) continue;
    outputs.store(decoded.source, decoded.destination, decoded.context, decoded.pdu);
    return true;
  }
  return false;
}

// The handle, if the object it named when the request was sent still lives.
template <class Object>
Object* stillLive(ObjectKind kind, Object* object, uint32_t serial) {
  auto* header = findLive(kind, object);
  return header && header->serial == serial ? object : nullptr;
}

bool takeTimeOut(Session& session, const Outputs& outputs) {
  auto* request = static_cast<OutstandingRequest*>(session.timedOut->RemoveHead());
  if (!request) return false;
  outputs.store(stillLive(ObjectKind::entity, request->source, request->sourceSerial),
                stillLive(ObjectKind::entity, request->destination, request->destinationSerial),
                stillLive(ObjectKind::context, request->context, request->contextSerial),
                stillLive(ObjectKind::pdu, request->pdu, request->pduSerial));
  releaseRequest(request);
  return true;
}

}  // namespace

extern "C" {

SNMPAPI_STATUS SnmpRecvMsg(HSNMP_SESSION sessionHandle, LPHSNMP_ENTITY source, LPHSNMP_ENTITY destination,
                           LPHSNMP_CONTEXT context, LPHSNMP_PDU pdu) {
  return runExport(Live<Session>{sessionHandle}, [&](CallFrame& frame, Session& session) -> SNMPAPI_STATUS {
    // Every output is required; nothing is taken off a queue without them.
    if (!source || !destination || !context || !pdu) return frame.fail(SNMPAPI_OTHER_ERROR);
    Outputs outputs{source, destination, context, pdu};
    outputs.store(nullptr, nullptr, nullptr, nullptr);

    platform::CriticalSectionGuard guard(session.lock);
    if (takeNotification(session, outputs) || takeDatagram(session, outputs)) return SNMPAPI_SUCCESS;
    if (takeTimeOut(session, outputs)) return frame.fail(SNMPAPI_TL_TIMEOUT);
    return frame.fail(SNMPAPI_NOOP);
  });
}

}  // extern "C"
