// Message encoding: one backward pass over a fixed buffer of the maximum
// message size, from the last varbind to the message header, then one
// copy into the result.
#include "ber_tags.h"
#include "ber_writer.h"
#include "binding_list.h"
#include "codec.h"
#include "context.h"
#include "descriptors.h"
#include "pdu.h"
#include "session.h"

namespace netmgr {
namespace {

// Syntax codes are the tags, so each value element is its syntax's tag
// with contents by kind.
void putValue(BackwardWriter& writer, const smiVALUE& value) {
  auto tag = static_cast<uint8_t>(value.syntax);
  switch (value.syntax) {
    case SNMP_SYNTAX_INT:
      writer.putElement(tag, [&] { writer.putSigned(value.value.sNumber); });
      break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      writer.putElement(tag, [&] { writer.putUnsigned(value.value.uNumber); });
      break;
    case SNMP_SYNTAX_CNTR64:
      writer.putElement(tag, [&] {
        writer.putUnsigned(uint64_t{value.value.hNumber.hipart} << 32 | value.value.hNumber.lopart);
      });
      break;
    case SNMP_SYNTAX_OID:
      writer.putElement(tag, [&] { writer.putOid(value.value.oid.ptr, value.value.oid.len); });
      break;
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      writer.putElement(tag, [&] { writer.putOctets(value.value.string.ptr, value.value.string.len); });
      break;
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      writer.putHeader(tag, 0);
      break;
    default:
      writer.putHeader(ber::kNull, 0);
      break;
  }
}

void putVarbind(BackwardWriter& writer, const Varbind& varbind) {
  writer.putElement(ber::kSequence, [&] {
    putValue(writer, varbind.value);
    writer.putElement(ber::kObjectIdentifier, [&] { writer.putOid(varbind.name.ptr, varbind.name.len); });
  });
}

// The variable-bindings element, entries from the last to the first.
// Returns 0, or 15 when the PDU has no live list or an empty one.
[[nodiscard]] uint32_t putVarbinds(BackwardWriter& writer, const Pdu& pdu) {
  auto* list = reinterpret_cast<BindingList*>(findLive(ObjectKind::list, pdu.list));
  if (!list || countEntries(*list) == 0) return SNMPAPI_VBL_INVALID;
  size_t before = writer.size();
  LONG position = -1;
  for (void* item = TreeGetItem(list->entries, nullptr, &position, TREE_GET_LAST);
       item && !writer.overflowed(); item = TreeGetItem(list->entries, &position, &position, TREE_GET_PREVIOUS)) {
    putVarbind(writer, *static_cast<const Varbind*>(item));
  }
  writer.putHeader(ber::kSequence, writer.size() - before);
  return 0;
}

// Community, version and the message header around the PDU.
void putMessageFrame(BackwardWriter& writer, const Context& context, SnmpVersion version) {
  writer.putElement(ber::kOctetString, [&] { writer.putOctets(context.community, context.length); });
  writer.putElement(ber::kInteger, [&] { writer.putSigned(static_cast<int32_t>(version)); });
  writer.putHeader(ber::kSequence, writer.size());
}

// Copies the finished message into a fresh descriptor buffer.
[[nodiscard]] uint32_t finish(const BackwardWriter& writer, smiOCTETS& message) {
  if (writer.overflowed()) return SNMPAPI_SIZE_INVALID;
  auto* copy = static_cast<smiLPBYTE>(allocateDescriptor(writer.size()));
  if (!copy) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(copy, writer.data(), writer.size());
  message = {static_cast<smiUINT32>(writer.size()), copy};
  return 0;
}

void putInteger(BackwardWriter& writer, int32_t value) {
  writer.putElement(ber::kInteger, [&] { writer.putSigned(value); });
}

}  // namespace

uint32_t encodeMessage(Session& session, const Context& context, const Pdu& pdu, SnmpVersion version,
                       smiOCTETS& message) {
  if (!isPduType(pdu.type)) return SNMPAPI_PDU_INVALID;
  platform::CriticalSectionGuard guard(session.lock);
  uint8_t buffer[kMaxMessageSize];
  BackwardWriter writer(buffer, sizeof buffer);
  // SNMPv1 has no GetBulk: it goes out as GetNext, with the (zero) error
  // fields rather than the bulk counts. SNMPv2c carries the counts.
  bool bulk = pdu.type == SNMP_PDU_GETBULK;
  bool asBulk = bulk && version == SnmpVersion::v2c;
  smiINT type = bulk && !asBulk ? SNMP_PDU_GETNEXT : pdu.type;
  if (uint32_t error = putVarbinds(writer, pdu)) return error;
  putInteger(writer, asBulk ? pdu.maxRepetitions : pdu.errorIndex);
  putInteger(writer, asBulk ? pdu.nonRepeaters : pdu.errorStatus);
  putInteger(writer, pdu.requestId);
  writer.putHeader(static_cast<uint8_t>(type), writer.size());
  putMessageFrame(writer, context, version);
  return finish(writer, message);
}

uint32_t encodeV1Trap(Session& session, const Context& context, const Pdu& pdu, smiOCTETS& message) {
  static constexpr uint8_t kNoAddress[4] = {0, 0, 0, 0};
  platform::CriticalSectionGuard guard(session.lock);
  uint8_t buffer[kMaxMessageSize];
  BackwardWriter writer(buffer, sizeof buffer);
  if (uint32_t error = putVarbinds(writer, pdu)) return error;
  writer.putElement(ber::kTimeTicks, [&] { writer.putUnsigned(pdu.timeStamp); });
  putInteger(writer, pdu.specificTrap);
  putInteger(writer, pdu.genericTrap);
  const smiOCTETS& address = pdu.agentAddress;
  writer.putElement(ber::kIpAddress, [&] { writer.putOctets(address.len == 4 ? address.ptr : kNoAddress, 4); });
  // Without an enterprise the trap names 0.0.
  writer.putElement(ber::kObjectIdentifier, [&] {
    if (pdu.enterprise.len > 0) writer.putOid(pdu.enterprise.ptr, pdu.enterprise.len);
    else writer.putOctet(0x00);
  });
  writer.putHeader(SNMP_PDU_V1TRAP, writer.size());
  // The Trap-PDU exists only in SNMPv1.
  putMessageFrame(writer, context, SnmpVersion::v1);
  return finish(writer, message);
}

}  // namespace netmgr
