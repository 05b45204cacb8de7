// Shared decoding steps.
#include "decoding.h"

#include "context.h"
#include "entity.h"
#include "pdu.h"
#include "session.h"

namespace netmgr {
namespace {

constexpr uint8_t kSequence = 0x30;
constexpr uint8_t kInteger = 0x02;
constexpr uint8_t kOctetString = 0x04;
constexpr uint8_t kObjectIdentifier = 0x06;

// INTEGER and the unsigned types take at most 5 octets, Counter64 at most
// 9; longer contents read as 0.
constexpr size_t kMaxIntegerOctets = 5;
constexpr size_t kMaxCounter64Octets = 9;

// A value by its tag; a tag of no known syntax gives NULL. Strings point
// into the message; an OID value uses `parts`. False for a malformed OID.
bool readValue(uint8_t tag, Octets contents, smiUINT32* parts, smiVALUE& value) {
  value = {};
  value.syntax = tag;
  switch (tag) {
    case SNMP_SYNTAX_INT:
      value.value.sNumber = static_cast<smiINT>(readInteger(contents, kMaxIntegerOctets));
      return true;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      value.value.uNumber = static_cast<smiUINT32>(readInteger(contents, kMaxIntegerOctets));
      return true;
    case SNMP_SYNTAX_CNTR64: {
      uint64_t number = readInteger(contents, kMaxCounter64Octets);
      value.value.hNumber = {static_cast<smiUINT32>(number >> 32), static_cast<smiUINT32>(number)};
      return true;
    }
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      value.value.string = {static_cast<smiUINT32>(contents.size), const_cast<smiLPBYTE>(contents.data)};
      return true;
    case SNMP_SYNTAX_OID:
      value.value.oid.ptr = parts;
      return readOid(contents, parts, kMaxDecodedOidLength, value.value.oid.len);
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      return true;
    default:
      value.syntax = SNMP_SYNTAX_NULL;
      return true;
  }
}

}  // namespace

uint32_t readFraming(const uint8_t* octets, size_t length, Octets& community, BerReader& rest) {
  if (length == 0 || length > kMaxDecodedMessage) return SNMPAPI_NOOP;
  BerReader whole({octets, length});
  Octets message;
  if (!whole.expect(kSequence, message) || !whole.atEnd()) return SNMPAPI_NOOP;
  BerReader reader(message);
  uint8_t version = 0xFF;
  if (!reader.expectOneOctet(kInteger, version) || version != 0) return SNMPAPI_NOOP;
  if (!reader.expect(kOctetString, community)) return SNMPAPI_NOOP;
  rest = reader;
  return 0;
}

uint32_t createDecoded(Session& session, const char* sourceAddress, Octets community,
                       DecodedMessage& decoded, BindingList*& list) {
  decoded = {};
  list = nullptr;
  decoded.source = createEntity(&session, sourceAddress);
  decoded.destination = decoded.source ? createEntity(&session, session.localAddress) : nullptr;
  decoded.context = decoded.destination
                        ? createContext(&session, community.data, static_cast<smiUINT32>(community.size))
                        : nullptr;
  decoded.pdu = decoded.context ? createPdu(&session) : nullptr;
  list = decoded.pdu ? createList(&session) : nullptr;
  if (!list) {
    releaseDecoded(decoded);
    return SNMPAPI_ALLOC_ERROR;
  }
  decoded.pdu->list = list;
  return 0;
}

void releaseDecoded(DecodedMessage& decoded) {
  if (Pdu* pdu = decoded.pdu) {
    ObjectHeader* list = findLive(ObjectKind::list, pdu->list);
    if (list && retireObject(ObjectKind::list, list)) releaseList(reinterpret_cast<BindingList*>(list));
    if (retireObject(ObjectKind::pdu, &pdu->header)) releasePdu(pdu);
  }
  if (decoded.context && retireObject(ObjectKind::context, &decoded.context->header)) {
    releaseContext(decoded.context);
  }
  for (Entity* entity : {decoded.destination, decoded.source}) {
    if (entity && retireObject(ObjectKind::entity, &entity->header)) releaseEntity(entity);
  }
  decoded = {};
}

uint32_t appendVarbind(BindingList& list, const smiOID& name, const smiVALUE& value) {
  return setEntry(list, 0, &name, &value) ? SNMPAPI_ALLOC_ERROR : 0;
}

uint32_t appendVarbinds(BerReader reader, BindingList& list) {
  smiUINT32 nameParts[kMaxDecodedOidLength];
  smiUINT32 valueParts[kMaxDecodedOidLength];
  while (!reader.atEnd()) {
    Octets varbind, nameContents, valueContents;
    uint8_t tag = 0;
    if (!reader.expect(kSequence, varbind)) return SNMPAPI_OTHER_ERROR;
    BerReader fields(varbind);
    smiOID name{0, nameParts};
    smiVALUE value;
    if (!fields.expect(kObjectIdentifier, nameContents) ||
        !readOid(nameContents, nameParts, kMaxDecodedOidLength, name.len) ||
        !fields.next(tag, valueContents) || !fields.atEnd() ||
        !readValue(tag, valueContents, valueParts, value)) {
      return SNMPAPI_OTHER_ERROR;
    }
    if (uint32_t error = appendVarbind(list, name, value)) return error;
  }
  return 0;
}

}  // namespace netmgr
