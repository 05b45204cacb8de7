// The SNMP message codec: PDUs with their binding lists to BER messages in
// the SNMPv1 message format (version 0) and back. SnmpEncodeMsg and
// SnmpDecodeMsg use it, and so do the send path (requests, responses and
// SNMPv1 traps), datagram reception and trap reception.
//
// Every operation runs under the session's lock (re-entrant, so callers
// that already hold it may call in) and returns 0 on success or the error
// code for the last error. On failure nothing it created is left behind.
#pragma once

#include "snmp_version.h"
#include "winsnmp.h"

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>

namespace netmgr {

struct Session;
struct Entity;
struct Context;
struct Pdu;

// The session's maximum message size: the largest message the encoder
// writes.
constexpr size_t kMaxMessageSize = 1472;
// The largest message the decoders accept (its length is held in 16 bits).
constexpr size_t kMaxDecodedMessage = 65535;
// The most sub-identifiers a decoded OID may have.
constexpr smiUINT32 kMaxDecodedOidLength = 128;

// The four new handles a decoded message gives, all owned by the session;
// the PDU refers to a new binding list holding the varbinds.
struct DecodedMessage {
  Entity* source = nullptr;
  Entity* destination = nullptr;
  Context* context = nullptr;
  Pdu* pdu = nullptr;
};

// Encodes a request, response or SNMPv2 notification in the general
// layout of `version` into a fresh descriptor buffer (released with
// releaseDescriptor or SnmpFreeDescriptor). In SNMPv1 GetBulk is sent as
// GetNext; in SNMPv2c as GetBulk with its counts. Errors: 12 for a PDU
// without a type, 15 for a missing or empty list, 17 for a message longer
// than kMaxMessageSize, 2 when memory runs out.
[[nodiscard]] uint32_t encodeMessage(Session& session, const Context& context, const Pdu& pdu,
                                     SnmpVersion version, smiOCTETS& message);
// Encodes the PDU as an SNMPv1 Trap-PDU (enterprise, agent address,
// generic and specific trap, time stamp, varbinds). Errors as above.
[[nodiscard]] uint32_t encodeV1Trap(Session& session, const Context& context, const Pdu& pdu,
                                    smiOCTETS& message);

// Decodes a message of SNMPv1, or of SNMPv2c too when `highest` says so;
// both entities it makes carry the message's version. The source entity
// gets `sourceAddress` as its text and the destination entity is the
// session's local address. Errors: 8 for an empty or oversized message,
// the outer framing, a version above `highest`, or an answer in another
// version than its outstanding request's; 99 for a malformed PDU or
// varbind, an unknown PDU type or an SNMPv1 Trap-PDU in SNMPv2c; 2 when
// memory runs out. On success the outstanding request with the decoded
// request id is ended (see request_matching.h).
[[nodiscard]] uint32_t decodeMessage(Session& session, const char* sourceAddress,
                                     const uint8_t* octets, size_t length, SnmpVersion highest,
                                     DecodedMessage& decoded);
// As decodeMessage, for a datagram received from `sender` (IPv4), in
// SNMPv2c only for a session that speaks it; the source entity gets the
// sender's address and port.
[[nodiscard]] uint32_t decodeDatagram(Session& session, const sockaddr_in& sender,
                                      const uint8_t* octets, size_t length, DecodedMessage& decoded);
// Converts a received SNMPv1 trap message into the SNMPv2 notification
// form: sysUpTime.0, snmpTrapOID.0, the trap's own varbinds, then
// snmpTrapEnterprise.0, in a PDU of type SNMP_PDU_TRAP. `sender` is the
// sender's IPv4 address. Errors as decodeMessage, and 2 for a generic trap
// outside 0..6.
[[nodiscard]] uint32_t convertV1Trap(Session& session, const in_addr& sender, const uint8_t* octets,
                                     size_t length, DecodedMessage& decoded);

// Decodes a received SNMPv2c notification (SNMPv2-Trap or InformRequest)
// as it is, without touching the outstanding requests. Errors as
// decodeMessage, and 99 for any other PDU type.
[[nodiscard]] uint32_t decodeV2Notification(Session& session, const in_addr& sender, const uint8_t* octets,
                                            size_t length, DecodedMessage& decoded);
// The version of a message of either format. Returns 0, or 8 when its
// framing is bad or its version is neither.
[[nodiscard]] uint32_t messageVersion(const uint8_t* octets, size_t length, SnmpVersion& version);

// Releases the handles of a decoded message (and the PDU's list); used
// when a decoded message is thrown away.
void releaseDecoded(DecodedMessage& decoded);

}  // namespace netmgr
