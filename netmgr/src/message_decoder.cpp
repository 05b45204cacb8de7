// Decoding a message: framing, the PDU header, then the objects it
// becomes and its varbinds. The whole header is checked before anything is
// created, so most malformed messages cost no allocation.
#include "address_text.h"
#include "ber_tags.h"
#include "codec.h"
#include "decoding.h"
#include "entity.h"
#include "pdu.h"
#include "request_matching.h"
#include "session.h"

namespace netmgr {
namespace {

// What the PDU header says, with the varbinds still to be read.
struct PduHeader {
  uint8_t type = 0;
  smiINT32 requestId = 0;
  uint8_t third = 0;   // error status, or non-repeaters for GetBulk
  uint8_t fourth = 0;  // error index, or max-repetitions for GetBulk
  Octets varbinds;
};

// The PDU must fill the rest of the message, and so must its varbinds
// element. Error status and index are exactly one octet each.
bool readPduHeader(BerReader rest, PduHeader& header) {
  Octets contents, requestId;
  if (!rest.next(header.type, contents) || !rest.atEnd()) return false;
  BerReader pdu(contents);
  if (!pdu.expect(ber::kInteger, requestId) || requestId.size > ber::kMaxIntegerOctets) return false;
  header.requestId = static_cast<smiINT32>(readInteger(requestId, ber::kMaxIntegerOctets));
  return pdu.expectOneOctet(ber::kInteger, header.third) && pdu.expectOneOctet(ber::kInteger, header.fourth) &&
         pdu.expect(ber::kSequence, header.varbinds) && pdu.atEnd() && isPduType(header.type);
}

// A message of SNMPv2c carries no SNMPv1 Trap-PDU.
bool fitsVersion(uint8_t type, SnmpVersion version) {
  return version == SnmpVersion::v1 || type != SNMP_PDU_V1TRAP;
}

// Decodes without looking at the outstanding requests.
[[nodiscard]] uint32_t decodeLocked(Session& session, const char* sourceAddress, const uint8_t* octets,
                                    size_t length, SnmpVersion highest, DecodedMessage& decoded) {
  Octets community;
  BerReader rest({nullptr, 0});
  SnmpVersion version = SnmpVersion::v1;
  if (uint32_t error = readFraming(octets, length, highest, version, community, rest)) return error;
  PduHeader header;
  if (!readPduHeader(rest, header) || !fitsVersion(header.type, version)) return SNMPAPI_OTHER_ERROR;
  DecodedBuilder builder;
  if (uint32_t error = builder.make(session, sourceAddress, version, community)) return error;
  if (uint32_t error = appendVarbinds(BerReader(header.varbinds), builder.list())) return error;
  // The type was checked with the header, so filling cannot fail.
  (void)fillPdu(builder.pdu(), header.type, header.requestId, header.third, header.fourth, &builder.list());
  return builder.publish(decoded);
}

// An answer in another version than its request's is refused, like a
// message of a version the session does not speak.
[[nodiscard]] uint32_t matchRequest(Session& session, DecodedMessage& decoded) {
  if (endOutstandingRequest(session, decoded.pdu->requestId, decoded.source->version) ==
      Withdrawal::otherVersion) {
    releaseDecoded(decoded);
    return SNMPAPI_NOOP;
  }
  return 0;
}

}  // namespace

uint32_t decodeMessage(Session& session, const char* sourceAddress, const uint8_t* octets,
                       size_t length, SnmpVersion highest, DecodedMessage& decoded) {
  platform::CriticalSectionGuard guard(session.lock);
  if (uint32_t error = decodeLocked(session, sourceAddress, octets, length, highest, decoded)) return error;
  return matchRequest(session, decoded);
}

uint32_t decodeDatagram(Session& session, const sockaddr_in& sender, const uint8_t* octets,
                        size_t length, DecodedMessage& decoded) {
  char address[kAddressTextSize];
  formatAddress(sender.sin_addr, address);
  SnmpVersion highest = session.speaksV2c.load() ? SnmpVersion::v2c : SnmpVersion::v1;
  uint32_t error = decodeMessage(session, address, octets, length, highest, decoded);
  // The source entity stands for the sender: an answer sent to it goes
  // back to the port the message came from.
  if (!error) decoded.source->port = ntohs(sender.sin_port);
  return error;
}

uint32_t decodeV2Notification(Session& session, const in_addr& sender, const uint8_t* octets, size_t length,
                              DecodedMessage& decoded) {
  char address[kAddressTextSize];
  formatAddress(sender, address);
  platform::CriticalSectionGuard guard(session.lock);
  if (uint32_t error = decodeLocked(session, address, octets, length, SnmpVersion::v2c, decoded)) return error;
  if (decoded.pdu->type != SNMP_PDU_TRAP && decoded.pdu->type != SNMP_PDU_INFORM) {
    releaseDecoded(decoded);
    return SNMPAPI_OTHER_ERROR;
  }
  return 0;
}

uint32_t messageVersion(const uint8_t* octets, size_t length, SnmpVersion& version) {
  Octets community;
  BerReader rest({nullptr, 0});
  return readFraming(octets, length, SnmpVersion::v2c, version, community, rest);
}

}  // namespace netmgr
