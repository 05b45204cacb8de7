// Sending: SNMPv1 traps once, everything else with an outstanding request
// that the timer retransmits until it is answered or times out.
#include "call_frame.h"
#include "codec.h"
#include "context.h"
#include "descriptors.h"
#include "entity.h"
#include "outstanding_request.h"
#include "pdu.h"
#include "session.h"
#include "timer_service.h"

#include "udpwire/datagram_socket.h"

using namespace netmgr;

namespace {

constexpr uint16_t kRequestPort = 161;
constexpr uint16_t kTrapPort = 162;

[[nodiscard]] uint32_t sendTrap(Session& session, const Entity& destination, const Context& context, const Pdu& pdu) {
  smiOCTETS message{};
  if (uint32_t error = encodeV1Trap(session, context, pdu, message)) return error;
  session.socket->Write(static_cast<int>(message.len), message.ptr, destination.address,
                        destination.port ? destination.port : kTrapPort);
  releaseDescriptor(message.ptr);
  return 0;
}

OutstandingRequest* recordRequest(Session& session, Entity* source, Entity& destination, Context& context,
                                  Pdu& pdu, smiOCTETS message) {
  OutstandingRequest* request = createRequest(destination.address, message);
  if (!request) return nullptr;
  request->session = &session;
  request->sessionSerial = session.header.serial;
  request->source = source;
  request->sourceSerial = source ? source->header.serial : 0;
  request->destination = &destination;
  request->destinationSerial = destination.header.serial;
  request->context = &context;
  request->contextSerial = context.header.serial;
  request->pdu = &pdu;
  request->pduSerial = pdu.header.serial;
  request->port = destination.port ? destination.port : kRequestPort;
  request->requestId = pdu.requestId;
  request->version = destination.version;
  request->timeout = destination.policyTimeout;
  bool retransmit = library().retransmitMode.load() == SNMPAPI_ON && destination.policyRetry >= 1;
  request->retriesGranted = retransmit ? static_cast<int32_t>(destination.policyRetry) : 0;
  request->retriesLeft = request->retriesGranted;
  request->state = retransmit ? RequestState::retransmissionPending : RequestState::final;
  return request;
}

[[nodiscard]] uint32_t sendRequest(Session& session, Entity* source, Entity& destination, Context& context, Pdu& pdu) {
  smiOCTETS message{};
  if (uint32_t error = encodeMessage(session, context, pdu, destination.version, message)) return error;
  OutstandingRequest* request = recordRequest(session, source, destination, context, pdu, message);
  if (!request) {
    releaseDescriptor(message.ptr);
    return SNMPAPI_ALLOC_ERROR;
  }
  if (uint32_t error = scheduleExpiry(session, *request)) {
    releaseRequest(request);
    return error;
  }
  writeRequest(session, *request);
  return 0;
}

// Requests may not carry an error; responses may, and GetBulk uses the
// two fields for its counts.
bool carriesForbiddenError(const Pdu& pdu) {
  return pdu.type != SNMP_PDU_RESPONSE && pdu.type != SNMP_PDU_GETBULK && pdu.errorStatus != 0 &&
         pdu.errorIndex != 0;
}

}  // namespace

extern "C" {

SNMPAPI_STATUS SnmpSendMsg(HSNMP_SESSION sessionHandle, HSNMP_ENTITY sourceHandle, HSNMP_ENTITY destinationHandle,
                           HSNMP_CONTEXT contextHandle, HSNMP_PDU pduHandle) {
  return runExport(Live<Session>{sessionHandle}, Optional<Entity>{sourceHandle}, Live<Entity>{destinationHandle},
                   Live<Context>{contextHandle}, Live<Pdu>{pduHandle},
                   [&](CallFrame& frame, Session& session, Entity* source, Entity& destination, Context& context,
                       Pdu& pdu) -> SNMPAPI_STATUS {
                     if (!isPduType(pdu.type)) return frame.fail(SNMPAPI_OPERATION_INVALID);
                     if (carriesForbiddenError(pdu)) return frame.fail(SNMPAPI_PDU_INVALID);
                     // A session of the platform trap service has no socket to send on.
                     if (!session.socket) return frame.fail(SNMPAPI_OPERATION_INVALID);

                     platform::CriticalSectionGuard guard(session.lock);
                     uint32_t error = pdu.type == SNMP_PDU_V1TRAP
                                          ? sendTrap(session, destination, context, pdu)
                                          : sendRequest(session, source, destination, context, pdu);
                     return error ? frame.fail(error) : SNMPAPI_SUCCESS;
                   });
}

}  // extern "C"
