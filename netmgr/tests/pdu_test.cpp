// PDUs: creation and request ids, the setter's rules, duplication, release
// and the SNMPv1 trap fields.
#include "codec_fixture.h"
#include "pdu.h"

#include <gtest/gtest.h>

namespace {

class Pdus : public CodecTest {
 protected:
  void SetUp() override {
    CodecTest::SetUp();
    list = nullList({{1, 3, 6, 1, 2, 1, 1, 1, 0}});
  }
  netmgr::Pdu& fields(HSNMP_PDU pdu) { return *static_cast<netmgr::Pdu*>(pdu); }

  HSNMP_VBL list = nullptr;
};

TEST_F(Pdus, RequestIdZeroGivesFreshDistinctIds) {
  HSNMP_PDU first = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, list);
  HSNMP_PDU second = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, list);
  smiINT32 firstId = 0, secondId = 0;
  SnmpGetPduData(first, nullptr, &firstId, nullptr, nullptr, nullptr);
  SnmpGetPduData(second, nullptr, &secondId, nullptr, nullptr, nullptr);
  EXPECT_NE(firstId, 0);
  EXPECT_NE(secondId, 0);
  EXPECT_NE(firstId, secondId);
}

TEST_F(Pdus, CreationRefusesUnknownTypesAndMissingLists) {
  long pdus = netmgr::countLive(netmgr::ObjectKind::pdu);
  EXPECT_EQ(SnmpCreatePdu(session, 0xA8, 1, 0, 0, list), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_PDU_INVALID);
  EXPECT_EQ(SnmpCreatePdu(session, 0x30, 1, 0, 0, list), nullptr);
  EXPECT_EQ(SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, nullptr), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_INVALID);
  EXPECT_EQ(SnmpCreatePdu(nullptr, SNMP_PDU_GET, 1, 0, 0, list), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::pdu), pdus);
  smiINT type = -1;
  HSNMP_PDU untyped = SnmpCreatePdu(session, 0, 1, 0, 0, list);
  ASSERT_NE(untyped, nullptr);
  SnmpGetPduData(untyped, &type, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(type, 0);
}

TEST_F(Pdus, GetBulkKeepsItsCountsApartFromTheErrorFields) {
  HSNMP_PDU bulk = SnmpCreatePdu(session, SNMP_PDU_GETBULK, 5, 3, 10, list);
  EXPECT_EQ(fields(bulk).nonRepeaters, 3);
  EXPECT_EQ(fields(bulk).maxRepetitions, 10);
  smiINT errorStatus = -1, errorIndex = -1;
  ASSERT_EQ(SnmpGetPduData(bulk, nullptr, nullptr, &errorStatus, &errorIndex, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(errorStatus, 0);
  EXPECT_EQ(errorIndex, 0);
}

TEST_F(Pdus, GetPduDataWithNoOutputsIsANoop) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  EXPECT_EQ(SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_NOOP);
}

TEST_F(Pdus, SetPduDataRefusesReportAndChangesNothing) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 77, 2, 1, list);
  smiINT report = 0xA8;
  smiINT32 newId = 5;
  EXPECT_EQ(SnmpSetPduData(pdu, &report, &newId, nullptr, nullptr, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_PDU_INVALID);
  EXPECT_EQ(fields(pdu).type, SNMP_PDU_RESPONSE);
  EXPECT_EQ(fields(pdu).requestId, 77);
  EXPECT_EQ(fields(pdu).errorStatus, 2);
  smiINT get = SNMP_PDU_GET;
  EXPECT_EQ(SnmpSetPduData(pdu, &get, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(fields(pdu).type, SNMP_PDU_GET);
}

TEST_F(Pdus, SetPduDataClearsTheNumbersBeforeSettingThem) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 77, 2, 1, list);
  smiINT32 zero = 0;
  ASSERT_EQ(SnmpSetPduData(pdu, nullptr, &zero, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_NE(fields(pdu).requestId, 0);
  EXPECT_NE(fields(pdu).requestId, 77);
  EXPECT_EQ(fields(pdu).errorStatus, 0);
  EXPECT_EQ(fields(pdu).errorIndex, 0);
  // Becoming GetBulk turns the third and fourth values into bulk counts.
  smiINT bulk = SNMP_PDU_GETBULK, nonRepeaters = 1, maxRepetitions = 20;
  ASSERT_EQ(SnmpSetPduData(pdu, &bulk, nullptr, &nonRepeaters, &maxRepetitions, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(fields(pdu).nonRepeaters, 1);
  EXPECT_EQ(fields(pdu).maxRepetitions, 20);
  EXPECT_EQ(fields(pdu).errorStatus, 0);
}

TEST_F(Pdus, SetPduDataValidatesANewList) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  HSNMP_VBL freed = nullList({{1, 1}});
  SnmpFreeVbl(freed);
  EXPECT_EQ(SnmpSetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &freed), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_INVALID);
  HSNMP_VBL other = nullList({{1, 2}});
  ASSERT_EQ(SnmpSetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &other), SNMPAPI_SUCCESS);
  HSNMP_VBL stored = nullptr;
  SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &stored);
  EXPECT_EQ(stored, other);
}

TEST_F(Pdus, DuplicatesShareTheListAndFollowTheSetter) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GETNEXT, 42, 0, 0, list);
  netmgr::Session* other = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
  HSNMP_PDU copy = SnmpDuplicatePdu(other, pdu);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(fields(copy).type, SNMP_PDU_GETNEXT);
  EXPECT_EQ(fields(copy).requestId, 42);
  EXPECT_EQ(fields(copy).list, list);
  EXPECT_EQ(fields(copy).header.session, other);

  long pdus = netmgr::countLive(netmgr::ObjectKind::pdu);
  HSNMP_PDU untyped = SnmpCreatePdu(session, 0, 1, 0, 0, list);
  EXPECT_EQ(SnmpDuplicatePdu(session, untyped), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_PDU_INVALID);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::pdu), pdus + 1);
}

TEST_F(Pdus, FreeingAPduLeavesItsList) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  smiINT generic = 6;
  Parts enterprise{1, 3, 6, 1, 4, 1};
  smiOID oid = oidOf(enterprise);
  SnmpSetV1TrapPduData(pdu, &oid, nullptr, &generic, nullptr, nullptr);
  ASSERT_EQ(SnmpFreePdu(pdu), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 1u);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::pdu).liveCount(), 0);
  EXPECT_EQ(SnmpFreePdu(pdu), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_PDU_INVALID);
}

TEST_F(Pdus, V1TrapDataStoresFourAddressOctetsWhateverTheLength) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  uint8_t six[6] = {10, 1, 2, 3, 4, 5};
  smiOCTETS longAddress{6, six};
  smiINT generic = 6, specific = 5;
  smiTIMETICKS stamp = 1234;
  ASSERT_EQ(SnmpSetV1TrapPduData(pdu, nullptr, &longAddress, &generic, &specific, &stamp), SNMPAPI_SUCCESS);
  netmgr::Pdu& trap = fields(pdu);
  EXPECT_EQ(trap.type, SNMP_PDU_V1TRAP);
  ASSERT_EQ(trap.agentAddress.len, 4u);
  EXPECT_EQ(Octets(trap.agentAddress.ptr, trap.agentAddress.ptr + 4), (Octets{10, 1, 2, 3}));
  EXPECT_EQ(trap.genericTrap, 6);
  EXPECT_EQ(trap.specificTrap, 5);
  EXPECT_EQ(trap.timeStamp, 1234u);
  // A short address is padded, never read past its end.
  uint8_t two[2] = {192, 168};
  smiOCTETS shortAddress{2, two};
  ASSERT_EQ(SnmpSetV1TrapPduData(pdu, nullptr, &shortAddress, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(Octets(trap.agentAddress.ptr, trap.agentAddress.ptr + 4), (Octets{192, 168, 0, 0}));
  EXPECT_EQ(trap.genericTrap, 6);
}

}  // namespace
