// Decoding a message: framing, the PDU header, then the objects it
// becomes and its varbinds. The whole header is checked before anything is
// created, so most malformed messages cost no allocation.
#include "address_text.h"
#include "codec.h"
#include "decoding.h"
#include "entity.h"
#include "pdu.h"
#include "request_matching.h"
#include "session.h"

namespace netmgr {
namespace {

constexpr uint8_t kSequence = 0x30;
constexpr uint8_t kInteger = 0x02;
constexpr size_t kMaxRequestIdOctets = 5;

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
  if (!pdu.expect(kInteger, requestId) || requestId.size > kMaxRequestIdOctets) return false;
  header.requestId = static_cast<smiINT32>(readInteger(requestId, kMaxRequestIdOctets));
  return pdu.expectOneOctet(kInteger, header.third) && pdu.expectOneOctet(kInteger, header.fourth) &&
         pdu.expect(kSequence, header.varbinds) && pdu.atEnd() && isPduType(header.type);
}

uint32_t decodeLocked(Session& session, const char* sourceAddress, const uint8_t* octets,
                      size_t length, DecodedMessage& decoded) {
  Octets community;
  BerReader rest({nullptr, 0});
  if (uint32_t error = readFraming(octets, length, community, rest)) return error;
  PduHeader header;
  if (!readPduHeader(rest, header)) return SNMPAPI_OTHER_ERROR;
  DecodedBuilder builder;
  if (uint32_t error = builder.make(session, sourceAddress, community)) return error;
  if (uint32_t error = appendVarbinds(BerReader(header.varbinds), builder.list())) return error;
  // The type was checked with the header, so filling cannot fail.
  (void)fillPdu(builder.pdu(), header.type, header.requestId, header.third, header.fourth, &builder.list());
  if (uint32_t error = builder.publish(decoded)) return error;
  endOutstandingRequest(session, decoded.pdu->requestId);
  return 0;
}

}  // namespace

uint32_t decodeMessage(Session& session, const char* sourceAddress, const uint8_t* octets,
                       size_t length, DecodedMessage& decoded) {
  platform::CriticalSectionGuard guard(session.lock);
  return decodeLocked(session, sourceAddress, octets, length, decoded);
}

uint32_t decodeDatagram(Session& session, const sockaddr_in& sender, const uint8_t* octets,
                        size_t length, DecodedMessage& decoded) {
  char address[kAddressTextSize];
  formatAddress(sender.sin_addr, address);
  uint32_t error = decodeMessage(session, address, octets, length, decoded);
  // The source entity stands for the sender: an answer sent to it goes
  // back to the port the message came from.
  if (!error) decoded.source->port = ntohs(sender.sin_port);
  return error;
}

}  // namespace netmgr
