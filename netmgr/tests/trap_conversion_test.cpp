// Converting received SNMPv1 traps into the SNMPv2 notification form.
#include "codec.h"
#include "message_builder.h"
#include "pdu.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace {

const Parts kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3, 0};
const Parts kSnmpTrapOid{1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
const Parts kSnmpTrapEnterprise{1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0};
const Parts kEnterprise{1, 3, 6, 1, 4, 1, 27182};

class TrapConversion : public CodecTest {
 protected:
  uint32_t convert(const Octets& message, const char* sender = "192.0.2.7") {
    in_addr address{};
    inet_pton(AF_INET, sender, &address);
    netmgr::releaseDecoded(notification);
    return netmgr::convertV1Trap(*session, address, message.data(), message.size(), notification);
  }
  HSNMP_VBL list() { return static_cast<netmgr::Pdu*>(static_cast<void*>(notification.pdu))->list; }

  netmgr::DecodedMessage notification;
};

TEST_F(TrapConversion, EnterpriseSpecificTrapsBecomeEnterprise00Specific) {
  TrapParts trap;
  trap.varbinds = varbind(hex("2B 06 01 04 01 81 D4 2E 01"), hex("02 01 2A"));
  ASSERT_EQ(convert(trap.build()), 0u);
  ASSERT_EQ(SnmpCountVbl(list()), 4u);
  Entry upTime = entry(list(), 1);
  EXPECT_EQ(upTime.name, kSysUpTime);
  EXPECT_EQ(upTime.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_TIMETICKS));
  EXPECT_EQ(upTime.unsignedNumber, 1234u);
  Entry trapOid = entry(list(), 2);
  EXPECT_EQ(trapOid.name, kSnmpTrapOid);
  EXPECT_EQ(trapOid.oid, (Parts{1, 3, 6, 1, 4, 1, 27182, 0, 0, 5}));
  Entry own = entry(list(), 3);
  EXPECT_EQ(own.name, (Parts{1, 3, 6, 1, 4, 1, 27182, 1}));
  EXPECT_EQ(own.number, 42);
  Entry enterprise = entry(list(), 4);
  EXPECT_EQ(enterprise.name, kSnmpTrapEnterprise);
  EXPECT_EQ(enterprise.oid, kEnterprise);

  smiINT type = 0;
  smiINT32 requestId = 0;
  SnmpGetPduData(notification.pdu, &type, &requestId, nullptr, nullptr, nullptr);
  EXPECT_EQ(type, SNMP_PDU_TRAP);
  EXPECT_NE(requestId, 0);
  EXPECT_EQ(address(notification.source), "192.0.2.7");
  EXPECT_EQ(address(notification.destination), "127.0.0.1");
  EXPECT_EQ(community(notification.context), "public");
}

TEST_F(TrapConversion, GenericTrapsBecomeTheStandardTrapOids) {
  for (int generic = 0; generic <= 5; ++generic) {
    TrapParts trap;
    trap.generic = hex("02 01 0" + std::to_string(generic));
    ASSERT_EQ(convert(trap.build()), 0u) << generic;
    EXPECT_EQ(SnmpCountVbl(list()), 3u);
    EXPECT_EQ(entry(list(), 2).oid, (Parts{1, 3, 6, 1, 6, 3, 1, 1, 5, static_cast<smiUINT32>(generic + 1)}));
  }
}

TEST_F(TrapConversion, GenericTrapsOutside0To6AreRefusedWithError2) {
  std::vector<long> before{netmgr::countLive(netmgr::ObjectKind::entity), netmgr::countLive(netmgr::ObjectKind::pdu)};
  TrapParts trap;
  trap.generic = hex("02 01 07");
  EXPECT_EQ(convert(trap.build()), static_cast<uint32_t>(SNMPAPI_ALLOC_ERROR));
  trap.generic = hex("02 01 FF");
  EXPECT_EQ(convert(trap.build()), static_cast<uint32_t>(SNMPAPI_ALLOC_ERROR));
  EXPECT_EQ((std::vector<long>{netmgr::countLive(netmgr::ObjectKind::entity),
                               netmgr::countLive(netmgr::ObjectKind::pdu)}),
            before);
}

TEST_F(TrapConversion, MalformedTrapsAreRefusedAndLeaveNothingBehind) {
  const uint32_t other = SNMPAPI_OTHER_ERROR;
  auto withParts = [&](auto change) {
    TrapParts trap;
    change(trap);
    return convert(trap.build());
  };
  EXPECT_EQ(withParts([](TrapParts& t) { t.timeStamp = hex("02 01 00"); }), other);
  EXPECT_EQ(withParts([](TrapParts& t) { t.generic = hex("04 01 00"); }), other);
  EXPECT_EQ(withParts([](TrapParts& t) { t.enterprise = Octets(130, 0x01); }), other);
  EXPECT_EQ(withParts([](TrapParts& t) { t.varbinds = hex("30 03 06 01"); }), other);
  EXPECT_EQ(withParts([](TrapParts& t) { t.varbinds = element(0x30, hex("06 01 2B")); }), other);
  EXPECT_EQ(withParts([](TrapParts& t) { t.type = 0xA8; }), other);
  // A request is not a trap.
  EXPECT_EQ(convert(MessageParts{}.build()), other);
  Octets message = TrapParts{}.build();
  message[4] = 0x01;
  EXPECT_EQ(convert(message), static_cast<uint32_t>(SNMPAPI_NOOP));
  EXPECT_EQ(convert(Octets{}), static_cast<uint32_t>(SNMPAPI_NOOP));
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::entity), 0);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::list), 0);
  EXPECT_EQ(netmgr::liveVarbinds(), 0);
}

TEST_F(TrapConversion, TrapsOurEncoderWritesConvertBack) {
  HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  append(vbl, {1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 2}, intValue(2));
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, vbl);
  Parts enterprise = kEnterprise;
  smiOID oid = oidOf(enterprise);
  smiINT generic = 2, specific = 0;
  smiTIMETICKS stamp = 0xFFFFFFFF;
  SnmpSetV1TrapPduData(pdu, &oid, nullptr, &generic, &specific, &stamp);
  auto* ctx = static_cast<netmgr::Context*>(context("traps"));
  smiOCTETS message{};
  ASSERT_EQ(netmgr::encodeV1Trap(*session, *ctx, *static_cast<netmgr::Pdu*>(pdu), message), 0u);
  Octets octets(message.ptr, message.ptr + message.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
  ASSERT_EQ(convert(octets), 0u);
  EXPECT_EQ(community(notification.context), "traps");
  EXPECT_EQ(entry(list(), 1).unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(entry(list(), 2).oid, (Parts{1, 3, 6, 1, 6, 3, 1, 1, 5, 3}));
  EXPECT_EQ(entry(list(), 3).number, 2);
  EXPECT_EQ(entry(list(), 4).oid, kEnterprise);
}

}  // namespace
