// The browser's result lines for each syntax, without MIB modules: names
// are then fully numeric.
#include "binding_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace netlens {
namespace {

class BindingText : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS); }
  void TearDown() override { SnmpCleanup(); }

  static smiVALUE octets(smiUINT32 syntax, std::vector<smiBYTE>& bytes) {
    smiVALUE value{};
    value.syntax = syntax;
    value.value.string = {static_cast<smiUINT32>(bytes.size()), bytes.empty() ? nullptr : bytes.data()};
    return value;
  }
  static std::string octetsLine(std::vector<smiBYTE> bytes) {
    return valueText(octets(SNMP_SYNTAX_OCTETS, bytes));
  }
};

TEST_F(BindingText, AnOidWithoutKnownPrefixIsNumericWithoutLeadingDot) {
  smiUINT32 parts[] = {1, 3, 6, 1, 2, 1, 1, 5, 0};
  smiOID name{9, parts};
  std::vector<smiBYTE> bytes{'h', 'o', 's', 't'};
  EXPECT_EQ(bindingLine(name, octets(SNMP_SYNTAX_OCTETS, bytes)), "1.3.6.1.2.1.1.5.0 **** (octets) host");
}

TEST_F(BindingText, OctetStringsShowAsTextOnlyWhenPrintable) {
  EXPECT_EQ(octetsLine({'a', 'b', 'c', 0}), "abc");
  EXPECT_EQ(octetsLine({0x61, 0x00, 0x62}), "61.00.62 (hex)");
  EXPECT_EQ(octetsLine({}), " (zero-length)");
  EXPECT_EQ(octetsLine({0x00, 0x1A, 0x2B, 0xFF}), "00.1A.2B.FF (hex)");
  // Line ends and tabs are text; a lone carriage return, escape sequences
  // and C1 controls would drive the terminal-like pane, so they are hex.
  EXPECT_EQ(octetsLine({'a', '\t', 'b', '\r', '\n', 'c'}), "a\tb\r\nc");
  EXPECT_EQ(octetsLine({'a', '\r', 'b'}), "61.0D.62 (hex)");
  EXPECT_EQ(octetsLine({0x1B, '[', '2', 'J'}), "1B.5B.32.4A (hex)");
  EXPECT_EQ(octetsLine({0xC2, 0x9B}), "C2.9B (hex)");
  EXPECT_EQ(octetsLine({0x7F}), "7F (hex)");
  // Valid UTF-8 is text; broken or overlong sequences are not.
  EXPECT_EQ(octetsLine({'M', 0xC3, 0xBC, 'n'}), "M\xC3\xBCn");
  EXPECT_EQ(octetsLine({'M', 0xC3}), "4D.C3 (hex)");
  EXPECT_EQ(octetsLine({0xC0, 0xAF}), "C0.AF (hex)");
  EXPECT_EQ(octetsLine({0xED, 0xA0, 0x80}), "ED.A0.80 (hex)");
}

TEST_F(BindingText, BitsOpaqueAndNsapAreAlwaysHex) {
  std::vector<smiBYTE> printable{'a', 'b'};
  std::vector<smiBYTE> none;
  EXPECT_EQ(valueText(octets(SNMP_SYNTAX_BITS, printable)), "61.62 (hex)");
  EXPECT_EQ(valueText(octets(SNMP_SYNTAX_OPAQUE, printable)), "61.62 (hex)");
  EXPECT_EQ(valueText(octets(SNMP_SYNTAX_NSAPADDR, none)), " (hex)");
}

TEST_F(BindingText, NumbersAndAddresses) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_INT;
  value.value.sNumber = -42;
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(int, int32) -42");
  value.syntax = SNMP_SYNTAX_CNTR32;
  value.value.uNumber = 4294967295u;
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(cntr32) 4294967295");
  value.syntax = SNMP_SYNTAX_CNTR64;
  value.value.hNumber = {0x1, 0xABCDEF};
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(cntr64) 00000001.00ABCDEF (hex)");
  std::vector<smiBYTE> address{10, 0, 0, 254};
  EXPECT_EQ(valueText(octets(SNMP_SYNTAX_IPADDR, address)), "10.0.0.254");
  value.syntax = SNMP_SYNTAX_NULL;
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(null) NULL");
  value.syntax = SNMP_SYNTAX_ENDOFMIBVIEW;
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(endofmibview) ENDOFMIBVIEW");
  value.syntax = SNMP_SYNTAX_NOSUCHINSTANCE;
  EXPECT_EQ(syntaxTag(value.syntax) + " " + valueText(value), "(nosuchinstance) NOSUCHINSTANCE");
}

TEST_F(BindingText, TimeticksSplitIntoDaysAndTime) {
  EXPECT_EQ(timeticksText(0), "0 days 00h:00m:00s.00th");
  EXPECT_EQ(timeticksText(8640000 + 360000 * 2 + 6000 * 3 + 100 * 4 + 5), "1 days 02h:03m:04s.05th");
  // A clock beyond 2^31 hundredths (248 days) is still counted forward.
  EXPECT_EQ(timeticksText(4294967295u), "497 days 02h:27m:52s.95th");
}

TEST_F(BindingText, TheNullOidIsMarked) {
  smiUINT32 zero[] = {0, 0};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OID;
  value.value.oid = {2, zero};
  EXPECT_EQ(valueText(value), "(null-oid) 0.0");
  smiUINT32 other[] = {1, 3, 6};
  value.value.oid = {3, other};
  EXPECT_EQ(valueText(value), "1.3.6");
}

}  // namespace
}  // namespace netlens
