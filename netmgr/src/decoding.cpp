// Shared decoding steps.
#include "decoding.h"

#include "ber_tags.h"
#include "context.h"
#include "entity.h"
#include "library.h"
#include "pdu.h"
#include "session.h"

#include <iterator>

namespace netmgr {
namespace {

// A value by its tag; a tag of no known syntax gives NULL. Strings point
// into the message; an OID value uses `parts`. False for a malformed OID.
bool readValue(uint8_t tag, Octets contents, smiUINT32* parts, smiVALUE& value) {
  value = {};
  value.syntax = tag;
  switch (tag) {
    case SNMP_SYNTAX_INT:
      value.value.sNumber = static_cast<smiINT>(readInteger(contents, ber::kMaxIntegerOctets));
      return true;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      value.value.uNumber = static_cast<smiUINT32>(readInteger(contents, ber::kMaxIntegerOctets));
      return true;
    case SNMP_SYNTAX_CNTR64: {
      uint64_t number = readInteger(contents, ber::kMaxCounter64Octets);
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

// Decoded varbinds wait here, their OIDs in one scratch array, until a
// batch is full; a batch is appended with one call to the varbind heap.
class VarbindBatch {
 public:
  // Reads the next varbind. False for a malformed one.
  bool read(BerReader& reader) {
    Octets varbind, nameContents, valueContents;
    uint8_t tag = 0;
    if (!reader.expect(ber::kSequence, varbind)) return false;
    BerReader fields(varbind);
    smiOID& name = names_[count_];
    name.ptr = parts_ + used_;
    if (!fields.expect(ber::kObjectIdentifier, nameContents) ||
        !readOid(nameContents, name.ptr, kMaxDecodedOidLength, name.len) ||
        !fields.next(tag, valueContents) || !fields.atEnd() ||
        !readValue(tag, valueContents, name.ptr + name.len, values_[count_])) {
      return false;
    }
    used_ += name.len;
    if (values_[count_].syntax == SNMP_SYNTAX_OID) used_ += values_[count_].value.oid.len;
    ++count_;
    return true;
  }
  // No room for another varbind of the largest kind.
  bool full() const { return count_ == kVarbindBatch || kScratchParts - used_ < 2 * kMaxDecodedOidLength; }
  // Appends what was read and starts a new batch. Returns 0 or 2.
  [[nodiscard]] uint32_t appendTo(BindingList& list) {
    size_t count = count_;
    count_ = used_ = 0;
    return count && appendEntries(list, names_, values_, count) ? SNMPAPI_ALLOC_ERROR : 0;
  }

 private:
  static constexpr size_t kScratchParts = 2048;

  smiOID names_[kVarbindBatch];
  smiVALUE values_[kVarbindBatch];
  smiUINT32 parts_[kScratchParts];
  size_t count_ = 0;
  size_t used_ = 0;
};

}  // namespace

uint32_t readFraming(const uint8_t* octets, size_t length, SnmpVersion highest, SnmpVersion& version,
                     Octets& community, BerReader& rest) {
  if (length == 0 || length > kMaxDecodedMessage) return SNMPAPI_NOOP;
  BerReader whole({octets, length});
  Octets message;
  if (!whole.expect(ber::kSequence, message) || !whole.atEnd()) return SNMPAPI_NOOP;
  BerReader reader(message);
  uint8_t number = 0xFF;
  if (!reader.expectOneOctet(ber::kInteger, number) || number > static_cast<uint8_t>(highest)) return SNMPAPI_NOOP;
  if (!reader.expect(ber::kOctetString, community)) return SNMPAPI_NOOP;
  version = static_cast<SnmpVersion>(number);
  rest = reader;
  return 0;
}

DecodedBuilder::~DecodedBuilder() { release(); }

// The five serial numbers are taken at once, in the order the objects
// are made.
uint32_t DecodedBuilder::make(Session& session, const char* sourceAddress, SnmpVersion version,
                              Octets community) {
  uint32_t serial = reserveSerials(5);
  made_.source = makeEntity(&session, sourceAddress, serial);
  made_.destination = made_.source ? makeEntity(&session, session.localAddress, serial + 1) : nullptr;
  // An answer sent back to either entity goes in the format it came in.
  if (made_.destination) made_.source->version = made_.destination->version = version;
  made_.context = made_.destination
                      ? makeContext(&session, community.data, static_cast<smiUINT32>(community.size), serial + 2)
                      : nullptr;
  made_.pdu = made_.context ? makePdu(&session, serial + 3) : nullptr;
  list_ = made_.pdu ? makeList(&session, serial + 4) : nullptr;
  if (!list_) {
    release();
    return SNMPAPI_ALLOC_ERROR;
  }
  made_.pdu->list = list_;
  return 0;
}

uint32_t DecodedBuilder::publish(DecodedMessage& decoded) {
  const Registration registrations[] = {
      {ObjectKind::entity, &made_.source->header},   {ObjectKind::entity, &made_.destination->header},
      {ObjectKind::context, &made_.context->header}, {ObjectKind::pdu, &made_.pdu->header},
      {ObjectKind::list, &list_->header},
  };
  if (uint32_t error = registerObjects(registrations, std::size(registrations))) {
    release();
    return error;
  }
  decoded = made_;
  made_ = {};
  list_ = nullptr;
  return 0;
}

void DecodedBuilder::release() {
  if (list_) releaseList(list_);
  if (made_.pdu) releasePdu(made_.pdu);
  if (made_.context) releaseContext(made_.context);
  if (made_.destination) releaseEntity(made_.destination);
  if (made_.source) releaseEntity(made_.source);
  made_ = {};
  list_ = nullptr;
}

// Each object is looked at only once it is retired here: one released
// already (by SnmpCleanup, which releases PDUs before the sessions whose
// queues still name them) is not touched.
void releaseDecoded(DecodedMessage& decoded) {
  if (Pdu* pdu = decoded.pdu; pdu && retireObject(ObjectKind::pdu, &pdu->header)) {
    ObjectHeader* list = findLive(ObjectKind::list, pdu->list);
    if (list && retireObject(ObjectKind::list, list)) releaseList(reinterpret_cast<BindingList*>(list));
    releasePdu(pdu);
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
  VarbindBatch batch;
  while (!reader.atEnd()) {
    if (!batch.read(reader)) {
      // The varbinds before the malformed one are appended first, so a
      // failing append is what the caller hears of first.
      if (uint32_t error = batch.appendTo(list)) return error;
      return SNMPAPI_OTHER_ERROR;
    }
    if (batch.full()) {
      if (uint32_t error = batch.appendTo(list)) return error;
    }
  }
  return batch.appendTo(list);
}

}  // namespace netmgr
