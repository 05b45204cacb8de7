// Conversions between binding lists and the RFC 1157 lists of the platform
// utility library, for sessions of the platform trap service.
#include "codec_fixture.h"
#include "snmputil.h"
#include "utility_library.h"

#include "platform/messages.h"

#include <gtest/gtest.h>

namespace {

Rfc1157VarBind binding(std::vector<UINT>& name, BYTE type) {
  Rfc1157VarBind made{};
  made.name = {static_cast<UINT>(name.size()), name.data()};
  made.value.type = type;
  return made;
}

class Rfc1157Conversion : public CodecTest {
 protected:
  void SetUp() override {
    CodecTest::SetUp();
    service = SnmpOpenEx(SNMPAPI_NOTIFY_TRAP_SERVICE, 0, 0);
    ASSERT_NE(service, nullptr) << SnmpGetLastError(nullptr);
  }
  void TearDown() override {
    SnmpUtilVarBindListFree(&converted);
    CodecTest::TearDown();
  }

  HSNMP_VBL listOf(std::initializer_list<smiVALUE> values) {
    HSNMP_VBL list = SnmpCreateVbl(service, nullptr, nullptr);
    smiUINT32 last = 0;
    for (const smiVALUE& value : values) {
      smiUINT32 parts[] = {1, 3, 6, 1, 4, 1, 27182, ++last};
      smiOID name{8, parts};
      EXPECT_EQ(SnmpSetVb(list, 0, &name, &value), SNMPAPI_SUCCESS);
    }
    return list;
  }

  HSNMP_SESSION service = nullptr;  // a session of the platform trap service
  Rfc1157VarBindList converted{};
};

TEST_F(Rfc1157Conversion, PlatformBindingsBecomeVarbindsOfTheirSyntax) {
  std::vector<UINT> name{1, 3, 6, 1, 2, 1, 1, 5, 0};
  UINT oidValue[] = {1, 3, 6, 1, 4, 1, 27182};
  BYTE text[] = {'a', 'b', 'c'};
  BYTE address[] = {10, 0, 0, 7};
  std::vector<Rfc1157VarBind> bindings(8, binding(name, RFC1157_NULL));
  bindings[0].value.type = RFC1157_INTEGER;
  bindings[0].value.value.number = -5;
  bindings[1].value.type = RFC1157_OCTET_STRING;
  bindings[1].value.value.string = {text, 3, FALSE};
  bindings[2].value.type = RFC1157_OBJECT_IDENTIFIER;
  bindings[2].value.value.oid = {7, oidValue};
  bindings[3].value.type = RFC1157_IPADDRESS;
  bindings[3].value.value.string = {address, 4, FALSE};
  bindings[4].value.type = RFC1157_COUNTER;
  bindings[4].value.value.unsignedNumber = 4000000000u;
  bindings[5].value.type = RFC1157_GAUGE;
  bindings[5].value.value.unsignedNumber = 7;
  bindings[6].value.type = RFC1157_TIMETICKS;
  bindings[6].value.value.unsignedNumber = 100;
  Rfc1157VarBindList platform{bindings.data(), static_cast<UINT>(bindings.size())};
  HSNMP_VBL list = OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &platform);
  ASSERT_NE(list, nullptr) << SnmpGetLastError(service);
  ASSERT_EQ(SnmpCountVbl(list), 8u);
  Entry first = entry(list, 1);
  EXPECT_EQ(first.name, (Parts{1, 3, 6, 1, 2, 1, 1, 5, 0}));
  EXPECT_EQ(first.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_INT));
  EXPECT_EQ(first.number, -5);
  EXPECT_EQ(entry(list, 2).octets, "abc");
  EXPECT_EQ(entry(list, 3).oid, (Parts{1, 3, 6, 1, 4, 1, 27182}));
  EXPECT_EQ(entry(list, 4).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_IPADDR));
  EXPECT_EQ(entry(list, 4).octets, std::string("\x0a\x00\x00\x07", 4));
  EXPECT_EQ(entry(list, 5).unsignedNumber, 4000000000u);
  EXPECT_EQ(entry(list, 6).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_GAUGE32));
  EXPECT_EQ(entry(list, 7).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_TIMETICKS));
  EXPECT_EQ(entry(list, 8).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));

  Rfc1157VarBindList empty{nullptr, 0};
  HSNMP_VBL none = OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &empty);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(SnmpCountVbl(none), 0u);
}

TEST_F(Rfc1157Conversion, APlatformBindingThatCannotBeCarriedFailsWith1021AndLeavesNothing) {
  std::vector<UINT> name{1, 3, 6, 1};
  long listsBefore = netmgr::countLive(netmgr::ObjectKind::list);
  std::vector<Rfc1157VarBind> bindings{binding(name, RFC1157_INTEGER), binding(name, RFC1157_SEQUENCE)};
  Rfc1157VarBindList platform{bindings.data(), 2};
  EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &platform), nullptr);
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_CONVERSION_UNSUPPORTED));
  bindings[1] = binding(name, RFC1157_INTEGER);
  bindings[1].name.numbers = nullptr;
  EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &platform), nullptr);
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_CONVERSION_UNSUPPORTED));
  // A length without octets behind it is not followed.
  bindings[1] = binding(name, RFC1157_OCTET_STRING);
  bindings[1].value.value.string = {nullptr, 10, FALSE};
  EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &platform), nullptr);
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_CONVERSION_UNSUPPORTED));
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::list), listsBefore);
  EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, nullptr), nullptr);
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_CONVERSION_NO_VBL));
}

TEST_F(Rfc1157Conversion, VarbindsBecomePlatformBindingsSkippingWhatCannotBeCarried) {
  const char text[] = "Orvane";
  HSNMP_VBL list = listOf({intValue(-7), counter64Value(1, 2), stringValue(SNMP_SYNTAX_OCTETS, text),
                           stringValue(SNMP_SYNTAX_BITS, "\x80", 1), unsignedValue(SNMP_SYNTAX_UINT32, 0xFFFFFFFFu),
                           stringValue(SNMP_SYNTAX_OCTETS, "", 0)});
  smiINT status = 0, index = 0;
  ASSERT_EQ(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, list, &converted, &status, &index), SNMPAPI_SUCCESS);
  EXPECT_EQ(status, SNMP_ERROR_BADVALUE);
  EXPECT_EQ(index, 2);
  ASSERT_EQ(converted.count, 5u);
  EXPECT_EQ(converted.bindings[0].name.count, 8u);
  EXPECT_EQ(converted.bindings[0].name.numbers[7], 1u);
  EXPECT_EQ(converted.bindings[0].value.type, RFC1157_INTEGER);
  EXPECT_EQ(converted.bindings[0].value.value.number, -7);
  // The skipped entry leaves no gap.
  EXPECT_EQ(converted.bindings[1].name.numbers[7], 3u);
  const Rfc1157Octets& string = converted.bindings[1].value.value.string;
  EXPECT_EQ(std::string(reinterpret_cast<char*>(string.octets), string.length), "Orvane");
  EXPECT_TRUE(string.dynamic);
  EXPECT_EQ(converted.bindings[2].value.type, RFC1157_OCTET_STRING);
  EXPECT_EQ(converted.bindings[3].value.type, RFC1157_INTEGER);
  EXPECT_EQ(converted.bindings[3].value.value.unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(converted.bindings[4].value.value.string.octets, nullptr);
  EXPECT_FALSE(converted.bindings[4].value.value.string.dynamic);

  // Back again: everything that was carried, in order.
  HSNMP_VBL back = OvSnmpConvertMsRfc1157VblToWinSnmpVbl(service, &converted);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(SnmpCountVbl(back), 5u);
  EXPECT_EQ(entry(back, 2).octets, std::string(text));
  EXPECT_EQ(entry(back, 4).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_INT));
}

TEST_F(Rfc1157Conversion, TheErrorIndexIsTheHighestSkippedIndexAboveThePresetOne) {
  HSNMP_VBL list = listOf({counter64Value(0, 1), intValue(1), stringValue(SNMP_SYNTAX_NSAPADDR, "\x47", 1)});
  smiINT status = 0, index = 0;
  ASSERT_EQ(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, list, &converted, &status, &index), SNMPAPI_SUCCESS);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(converted.count, 1u);
  SnmpUtilVarBindListFree(&converted);
  index = 5;
  ASSERT_EQ(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, list, &converted, &status, &index), SNMPAPI_SUCCESS);
  EXPECT_EQ(index, 5);
}

TEST_F(Rfc1157Conversion, RefusesEmptyListsMissingOutputsAndOtherSessions) {
  HSNMP_VBL empty = SnmpCreateVbl(service, nullptr, nullptr);
  smiINT status = 0, index = 0;
  EXPECT_FALSE(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, empty, &converted, &status, &index));
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_ALLOC_ERROR));
  EXPECT_EQ(converted.count, 0u);
  HSNMP_VBL list = listOf({intValue(1)});
  EXPECT_FALSE(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, list, nullptr, &status, &index));
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_CONVERSION_NO_VBL));
  EXPECT_FALSE(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(service, nullptr, &converted, &status, &index));
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_VBL_INVALID));

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "ConversionTestWindow";
  RegisterClass(&windowClass);
  HWND window = CreateWindow("ConversionTestWindow", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  HSNMP_SESSION windowed = SnmpOpen(window, 1025);
  HSNMP_VBL windowedList = SnmpCreateVbl(windowed, nullptr, nullptr);
  std::vector<UINT> name{1, 3};
  Rfc1157VarBind one = binding(name, RFC1157_NULL);
  Rfc1157VarBindList platform{&one, 1};
  EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(windowed, &platform), nullptr);
  EXPECT_EQ(SnmpGetLastError(windowed), static_cast<SNMPAPI_STATUS>(SNMPAPI_NOTIFY_MODE_UNKNOWN));
  EXPECT_FALSE(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(windowed, windowedList, &converted, &status, &index));
  EXPECT_EQ(SnmpGetLastError(windowed), static_cast<SNMPAPI_STATUS>(SNMPAPI_NOTIFY_MODE_UNKNOWN));
  SnmpClose(windowed);
  DestroyWindow(window);
}

// Without the utility library there are neither trap-service sessions nor
// conversions; a library that lacks one of the four functions counts as
// missing.
TEST(WithoutUtilityLibrary, TrapServiceSessionsAndConversionsAnswer1022) {
  for (const char* name : {"liborvane-no-such-library.so", "libplatform.so"}) {
    netmgr::setUtilityLibraryName(name);
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    EXPECT_EQ(SnmpOpenEx(SNMPAPI_NOTIFY_TRAP_SERVICE, 0, 0), nullptr);
    EXPECT_EQ(SnmpGetLastError(nullptr), static_cast<SNMPAPI_STATUS>(SNMPAPI_TRAP_SERVICE_UNAVAILABLE));
    HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
    Rfc1157VarBindList platform{};
    EXPECT_EQ(OvSnmpConvertMsRfc1157VblToWinSnmpVbl(session, &platform), nullptr);
    EXPECT_EQ(SnmpGetLastError(nullptr), static_cast<SNMPAPI_STATUS>(SNMPAPI_TRAP_SERVICE_UNAVAILABLE));
    EXPECT_FALSE(OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(session, nullptr, &platform, nullptr, nullptr));
    EXPECT_EQ(SnmpGetLastError(nullptr), static_cast<SNMPAPI_STATUS>(SNMPAPI_TRAP_SERVICE_UNAVAILABLE));
    SnmpCleanup();
  }
  netmgr::setUtilityLibraryName(nullptr);
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(SnmpOpenEx(SNMPAPI_NOTIFY_TRAP_SERVICE, 0, 0), nullptr);
  SnmpCleanup();
}

}  // namespace
