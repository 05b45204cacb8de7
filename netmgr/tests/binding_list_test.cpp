// Binding lists: index rules, renumbering, copies in and out, duplication
// and release.
#include "codec_fixture.h"
#include "descriptors.h"
#include "handles.h"

#include <gtest/gtest.h>

namespace {

using BindingLists = CodecTest;

TEST_F(BindingLists, AppendsAtZeroOrCountPlusOneAndRefusesGaps) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}, {1, 3}});
  Parts name{1, 4};
  smiOID oid = oidOf(name);
  smiVALUE null = plainValue(SNMP_SYNTAX_NULL);
  EXPECT_EQ(SnmpSetVb(list, 0, &oid, &null), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 4u);
  EXPECT_EQ(SnmpSetVb(list, 5, &oid, &null), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 5u);
  EXPECT_EQ(SnmpSetVb(list, 7, &oid, &null), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_INDEX_INVALID);
  EXPECT_EQ(SnmpCountVbl(list), 5u);
  EXPECT_EQ(SnmpSetVb(list, 0, nullptr, &null), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
}

TEST_F(BindingLists, ReplacingAnEntryKeepsItsIndex) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}});
  Parts name{9, 9, 9};
  smiOID oid = oidOf(name);
  smiVALUE value = stringValue(SNMP_SYNTAX_OCTETS, "new");
  ASSERT_EQ(SnmpSetVb(list, 1, &oid, &value), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 2u);
  Entry first = entry(list, 1);
  EXPECT_EQ(first.name, name);
  EXPECT_EQ(first.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_OCTETS));
  EXPECT_EQ(first.octets, "new");
  EXPECT_EQ(entry(list, 2).name, (Parts{1, 2}));
}

TEST_F(BindingLists, DeletingRenumbersTheLaterEntries) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}, {1, 3}, {1, 4}});
  ASSERT_EQ(SnmpDeleteVb(list, 2), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 3u);
  EXPECT_EQ(entry(list, 1).name, (Parts{1, 1}));
  EXPECT_EQ(entry(list, 2).name, (Parts{1, 3}));
  EXPECT_EQ(entry(list, 3).name, (Parts{1, 4}));
  // Appending after a delete continues at the new count.
  append(list, {1, 5}, plainValue(SNMP_SYNTAX_NULL));
  EXPECT_EQ(entry(list, 4).name, (Parts{1, 5}));
  EXPECT_EQ(SnmpDeleteVb(list, 5), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_INDEX_INVALID);
  EXPECT_EQ(SnmpDeleteVb(list, 0), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_INDEX_INVALID);
}

TEST_F(BindingLists, EmptyListsCountZeroWithError1013) {
  HSNMP_VBL list = nullList({{1, 1}});
  ASSERT_EQ(SnmpDeleteVb(list, 1), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(list), 0u);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_EMPTY);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_VBL_EMPTY);
}

TEST_F(BindingLists, GetVbRefusesMissingIndicesAndOutputs) {
  HSNMP_VBL list = nullList({{1, 1}});
  smiOID name{};
  smiVALUE value{};
  EXPECT_EQ(SnmpGetVb(list, 0, &name, &value), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_INDEX_INVALID);
  EXPECT_EQ(SnmpGetVb(list, 2, &name, &value), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_INDEX_INVALID);
  EXPECT_EQ(SnmpGetVb(list, 1, nullptr, &value), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
  EXPECT_EQ(SnmpGetVb(list, 1, &name, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
}

TEST_F(BindingLists, ValuesOfEverySyntaxComeBackAsStored) {
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  Parts target{1, 3, 6, 1, 4, 1, 27182};
  append(list, {1, 1}, intValue(-5));
  append(list, {1, 2}, unsignedValue(SNMP_SYNTAX_GAUGE32, 0xFFFFFFFF));
  append(list, {1, 3}, counter64Value(7, 9));
  append(list, {1, 4}, stringValue(SNMP_SYNTAX_IPADDR, "\x0A\x00\x00\x01", 4));
  append(list, {1, 5}, oidValue(target));
  append(list, {1, 6}, plainValue(SNMP_SYNTAX_ENDOFMIBVIEW));
  append(list, {1, 7}, stringValue(SNMP_SYNTAX_OCTETS, ""));
  EXPECT_EQ(entry(list, 1).number, -5);
  EXPECT_EQ(entry(list, 2).unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(entry(list, 3).counter64.hipart, 7u);
  EXPECT_EQ(entry(list, 3).counter64.lopart, 9u);
  EXPECT_EQ(entry(list, 4).octets, std::string("\x0A\x00\x00\x01", 4));
  EXPECT_EQ(entry(list, 5).oid, target);
  EXPECT_EQ(entry(list, 6).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_ENDOFMIBVIEW));
  smiOID name{};
  smiVALUE empty{};
  ASSERT_EQ(SnmpGetVb(list, 7, &name, &empty), SNMPAPI_SUCCESS);
  EXPECT_EQ(empty.value.string.len, 0u);
  EXPECT_EQ(empty.value.string.ptr, nullptr);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
}

TEST_F(BindingLists, UnsetAndUnknownSyntaxesAndMissingValuesAreStoredAsNull) {
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  smiVALUE unset{};
  unset.value.uNumber = 42;
  append(list, {1, 1}, unset);
  append(list, {1, 2}, plainValue(0x07));
  Parts name{1, 3};
  smiOID oid = oidOf(name);
  ASSERT_EQ(SnmpSetVb(list, 0, &oid, nullptr), SNMPAPI_SUCCESS);
  for (smiUINT32 index = 1; index <= 3; ++index) {
    EXPECT_EQ(entry(list, index).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL)) << index;
  }
}

TEST_F(BindingLists, CopiesAreIndependentOfTheCallersBuffers) {
  Parts name{1, 3, 6};
  std::string text = "abc";
  smiOID oid = oidOf(name);
  smiVALUE value = stringValue(SNMP_SYNTAX_OCTETS, text);
  HSNMP_VBL list = SnmpCreateVbl(session, &oid, &value);
  name[2] = 99;
  text[0] = 'z';
  EXPECT_EQ(entry(list, 1).name, (Parts{1, 3, 6}));
  EXPECT_EQ(entry(list, 1).octets, "abc");
}

TEST_F(BindingLists, AStringWithALengthButNoBufferIsRefusedAndChangesNothing) {
  HSNMP_VBL list = nullList({{1, 1}});
  Parts name{1, 2};
  smiOID oid = oidOf(name);
  smiVALUE broken{};
  broken.syntax = SNMP_SYNTAX_OCTETS;
  broken.value.string = {5, nullptr};
  EXPECT_EQ(SnmpSetVb(list, 1, &oid, &broken), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
  EXPECT_EQ(entry(list, 1).name, (Parts{1, 1}));
  smiOID noBuffer{3, nullptr};
  smiVALUE null = plainValue(SNMP_SYNTAX_NULL);
  EXPECT_EQ(SnmpSetVb(list, 0, &noBuffer, &null), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
  EXPECT_EQ(SnmpCountVbl(list), 1u);
}

TEST_F(BindingLists, AReplacementThatRunsOutOfMemoryKeepsTheOldEntry) {
  HSNMP_VBL list = nullList({{1, 1}});
  Parts name{2, 2};
  smiOID oid = oidOf(name);
  smiVALUE value = stringValue(SNMP_SYNTAX_OCTETS, "xyz");
  platform::failAllocationAfter(1);  // the name copy succeeds, the value copy fails
  EXPECT_EQ(SnmpSetVb(list, 1, &oid, &value), SNMPAPI_FAILURE);
  platform::failAllocationAfter(-1);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR);
  Entry kept = entry(list, 1);
  EXPECT_EQ(kept.name, (Parts{1, 1}));
  EXPECT_EQ(kept.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
}

TEST_F(BindingLists, CreateVblReleasesTheListWhenTheFirstVarbindFails) {
  long lists = netmgr::countLive(netmgr::ObjectKind::list);
  smiOID noBuffer{2, nullptr};
  EXPECT_EQ(SnmpCreateVbl(session, &noBuffer, nullptr), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::list), lists);
  EXPECT_EQ(netmgr::liveVarbinds(), 0);
}

TEST_F(BindingLists, CopyOutFailureReleasesTheNameCopy) {
  Parts target{1, 3};
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  append(list, {1, 1}, oidValue(target));
  long live = netmgr::liveDescriptors();
  smiOID name{};
  smiVALUE value{};
  platform::failAllocationAfter(1);
  EXPECT_EQ(SnmpGetVb(list, 1, &name, &value), SNMPAPI_FAILURE);
  platform::failAllocationAfter(-1);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR);
  EXPECT_EQ(name.ptr, nullptr);
  EXPECT_EQ(value.value.oid.ptr, nullptr);
  EXPECT_EQ(netmgr::liveDescriptors(), live);
}

TEST_F(BindingLists, DuplicatesCopyEveryEntryInOrder) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}, {1, 3}});
  netmgr::Session* other = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
  HSNMP_VBL copy = SnmpDuplicateVbl(other, list);
  ASSERT_NE(copy, nullptr);
  SnmpFreeVbl(list);
  EXPECT_EQ(SnmpCountVbl(copy), 3u);
  EXPECT_EQ(entry(copy, 3).name, (Parts{1, 3}));
  int bogus = 0;
  EXPECT_EQ(SnmpDuplicateVbl(session, &bogus), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_INVALID);
}

TEST_F(BindingLists, FreeingReleasesEveryVarbindAndInvalidatesTheHandle) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}});
  EXPECT_EQ(netmgr::liveVarbinds(), 2);
  ASSERT_EQ(SnmpFreeVbl(list), SNMPAPI_SUCCESS);
  EXPECT_EQ(netmgr::liveVarbinds(), 0);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::varbind).liveCount(), 0);
  EXPECT_EQ(SnmpCountVbl(list), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_INVALID);
}

TEST_F(BindingLists, ReplacedEntriesReleaseEveryBufferOnce) {
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  append(list, {1, 1}, stringValue(SNMP_SYNTAX_OCTETS, "made with the varbind"));
  append(list, {1, 2}, intValue(1));
  append(list, {1, 3}, intValue(2));
  Parts target{1, 3, 6, 1, 4, 1};
  Parts name{7, 7, 7, 7};
  smiOID oid = oidOf(name);
  smiVALUE longer = stringValue(SNMP_SYNTAX_OCTETS, "a replacement longer than the original value");
  smiVALUE other = oidValue(target);
  ASSERT_EQ(SnmpSetVb(list, 1, &oid, &longer), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpSetVb(list, 1, &oid, &other), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpSetVb(list, 2, &oid, &longer), SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(list, 1).oid, target);
  EXPECT_EQ(entry(list, 2).octets, "a replacement longer than the original value");
  ASSERT_EQ(SnmpDeleteVb(list, 2), SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(list, 2).number, 2);
  ASSERT_EQ(SnmpFreeVbl(list), SNMPAPI_SUCCESS);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::varbind).liveCount(), 0);
}

TEST_F(BindingLists, CleanupReleasesListsVarbindsAndPdus) {
  HSNMP_VBL list = nullList({{1, 1}, {1, 2}});
  HSNMP_VBL other = nullList({{1, 3}});
  SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, list);
  SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, other);
  ASSERT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::varbind).liveCount(), 0);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::list).liveCount(), 0);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::pdu).liveCount(), 0);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
}

}  // namespace
