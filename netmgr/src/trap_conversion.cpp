// Converting a received SNMPv1 trap into the SNMPv2 notification form:
// sysUpTime.0, snmpTrapOID.0, the trap's own varbinds, snmpTrapEnterprise.0.
#include "address_text.h"
#include "ber_tags.h"
#include "codec.h"
#include "decoding.h"
#include "pdu.h"
#include "session.h"

#include <algorithm>
#include <array>

namespace netmgr {
namespace {

constexpr smiINT kEnterpriseSpecific = SNMP_TRAP_ENTERPRISESPECIFIC;

constexpr smiUINT32 kSysUpTime[] = {1, 3, 6, 1, 2, 1, 1, 3, 0};
constexpr smiUINT32 kSnmpTrapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
constexpr smiUINT32 kSnmpTrapEnterprise[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0};
// The generic traps 0..5 (coldStart .. egpNeighborLoss) are
// snmpTraps.1 .. snmpTraps.6; the last sub-identifier is generic + 1.
constexpr smiUINT32 kSnmpTraps[] = {1, 3, 6, 1, 6, 3, 1, 1, 5, 0};

template <size_t N>
smiOID constantOid(const smiUINT32 (&parts)[N]) {
  return {N, const_cast<smiLPUINT32>(parts)};
}

// The Trap-PDU's fields, with the varbinds still to be read.
struct TrapHeader {
  uint8_t type = 0;
  std::array<smiUINT32, kMaxDecodedOidLength> enterprise{};
  smiUINT32 enterpriseLength = 0;
  smiINT generic = 0;
  smiINT specific = 0;
  smiTIMETICKS timeStamp = 0;
  Octets varbinds;
};

smiINT readSmallInteger(Octets contents) {
  return static_cast<smiINT>(readInteger(contents, ber::kMaxIntegerOctets));
}

// The PDU and its varbinds element must both end exactly at the end of
// the message; the agent address is skipped.
bool readTrapHeader(BerReader rest, TrapHeader& header) {
  Octets contents, enterprise, agentAddress, generic, specific, timeStamp;
  if (!rest.next(header.type, contents) || !rest.atEnd()) return false;
  BerReader pdu(contents);
  if (!pdu.expect(ber::kObjectIdentifier, enterprise) ||
      !readOid(enterprise, header.enterprise.data(), header.enterprise.size(), header.enterpriseLength) ||
      !pdu.expect(ber::kIpAddress, agentAddress) || !pdu.expect(ber::kInteger, generic) ||
      !pdu.expect(ber::kInteger, specific) || !pdu.expect(ber::kTimeTicks, timeStamp) ||
      !pdu.expect(ber::kSequence, header.varbinds) || !pdu.atEnd()) {
    return false;
  }
  header.generic = readSmallInteger(generic);
  header.specific = readSmallInteger(specific);
  header.timeStamp = static_cast<smiTIMETICKS>(readInteger(timeStamp, ber::kMaxIntegerOctets));
  return true;
}

// snmpTrapOID.0's value: the standard trap for generic 0..5, and
// enterprise.0.0.specific for an enterprise-specific trap.
void trapOid(const TrapHeader& header, std::array<smiUINT32, kMaxDecodedOidLength + 3>& parts,
             smiOID& oid) {
  if (header.generic == kEnterpriseSpecific) {
    auto end = std::copy_n(header.enterprise.begin(), header.enterpriseLength, parts.begin());
    *end++ = 0;
    *end++ = 0;
    *end++ = static_cast<smiUINT32>(header.specific);
    oid = {header.enterpriseLength + 3, parts.data()};
    return;
  }
  auto end = std::copy(std::begin(kSnmpTraps), std::end(kSnmpTraps), parts.begin());
  end[-1] = static_cast<smiUINT32>(header.generic) + 1;
  oid = {static_cast<smiUINT32>(std::size(kSnmpTraps)), parts.data()};
}

smiVALUE oidValue(const smiOID& oid) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OID;
  value.value.oid = oid;
  return value;
}

[[nodiscard]] uint32_t buildNotification(const TrapHeader& header, BindingList& list) {
  smiVALUE upTime{};
  upTime.syntax = SNMP_SYNTAX_TIMETICKS;
  upTime.value.uNumber = header.timeStamp;
  std::array<smiUINT32, kMaxDecodedOidLength + 3> trapParts;
  smiOID trap;
  trapOid(header, trapParts, trap);
  smiOID enterprise{header.enterpriseLength, const_cast<smiLPUINT32>(header.enterprise.data())};
  if (uint32_t error = appendVarbind(list, constantOid(kSysUpTime), upTime)) return error;
  if (uint32_t error = appendVarbind(list, constantOid(kSnmpTrapOid), oidValue(trap))) return error;
  if (uint32_t error = appendVarbinds(BerReader(header.varbinds), list)) return error;
  return appendVarbind(list, constantOid(kSnmpTrapEnterprise), oidValue(enterprise));
}

[[nodiscard]] uint32_t convertLocked(Session& session, const char* sourceAddress, const uint8_t* octets,
                       size_t length, DecodedMessage& decoded) {
  Octets community;
  BerReader rest({nullptr, 0});
  SnmpVersion version = SnmpVersion::v1;
  if (uint32_t error = readFraming(octets, length, SnmpVersion::v1, version, community, rest)) return error;
  TrapHeader header;
  if (!readTrapHeader(rest, header)) return SNMPAPI_OTHER_ERROR;
  smiINT type = header.type == SNMP_PDU_V1TRAP ? SNMP_PDU_TRAP : header.type;
  if (!isPduType(type)) return SNMPAPI_OTHER_ERROR;
  if (header.generic < 0 || header.generic > kEnterpriseSpecific) return SNMPAPI_ALLOC_ERROR;
  DecodedBuilder builder;
  if (uint32_t error = builder.make(session, sourceAddress, version, community)) return error;
  if (uint32_t error = buildNotification(header, builder.list())) return error;
  (void)fillPdu(builder.pdu(), type, 0, 0, 0, &builder.list());
  return builder.publish(decoded);
}

}  // namespace

uint32_t convertV1Trap(Session& session, const in_addr& sender, const uint8_t* octets, size_t length,
                       DecodedMessage& decoded) {
  char address[kAddressTextSize];
  formatAddress(sender, address);
  platform::CriticalSectionGuard guard(session.lock);
  return convertLocked(session, address, octets, length, decoded);
}

}  // namespace netmgr
