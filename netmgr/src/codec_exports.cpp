// SnmpEncodeMsg and SnmpDecodeMsg: the codec behind the call frame.
#include "call_frame.h"
#include "codec.h"
#include "context.h"
#include "entity.h"
#include "pdu.h"

namespace netmgr {
namespace {
// SnmpDecodeMsg is given octets without a sender.
constexpr char kUnknownSender[] = "0.0.0.0";
}  // namespace
}  // namespace netmgr

using namespace netmgr;

extern "C" {

// Encodes the PDU with its list and the context's community into a fresh
// descriptor, in the destination entity's message format. The entities do
// not enter the message. On failure the output is untouched.
SNMPAPI_STATUS SnmpEncodeMsg(HSNMP_SESSION sessionHandle, HSNMP_ENTITY source,
                             HSNMP_ENTITY destination, HSNMP_CONTEXT contextHandle,
                             HSNMP_PDU pduHandle, smiLPOCTETS message) {
  return runExport(Live<Session>{sessionHandle}, Live<Entity>{source}, Live<Entity>{destination},
                   Live<Context>{contextHandle}, Live<Pdu>{pduHandle},
                   [&](CallFrame& frame, Session& session, Entity&, Entity& to, Context& context,
                       Pdu& pdu) -> SNMPAPI_STATUS {
                     if (!message) return frame.fail(SNMPAPI_DESCRIPTOR_MISSING);
                     if (uint32_t error = encodeMessage(session, context, pdu, to.version, *message)) {
                       return frame.fail(error);
                     }
                     return SNMPAPI_SUCCESS;
                   });
}

// Decodes a message of either format into four new handles owned by the
// session; the source entity carries the message's version. It is
// 0.0.0.0, since the octets carry no sender. On failure nothing is created
// and the outputs are untouched.
SNMPAPI_STATUS SnmpDecodeMsg(HSNMP_SESSION sessionHandle, LPHSNMP_ENTITY source,
                             LPHSNMP_ENTITY destination, LPHSNMP_CONTEXT context, LPHSNMP_PDU pdu,
                             smiLPCOCTETS message) {
  return runExport(Live<Session>{sessionHandle}, [&](CallFrame& frame, Session& session) -> SNMPAPI_STATUS {
    if (!message || !message->ptr) return frame.fail(SNMPAPI_DESCRIPTOR_MISSING);
    if (!source || !destination || !context || !pdu) return frame.fail(SNMPAPI_OTHER_ERROR);
    DecodedMessage decoded;
    if (uint32_t error = decodeMessage(session, kUnknownSender, message->ptr, message->len, SnmpVersion::v2c, decoded)) {
      return frame.fail(error);
    }
    *source = decoded.source;
    *destination = decoded.destination;
    *context = decoded.context;
    *pdu = decoded.pdu;
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
