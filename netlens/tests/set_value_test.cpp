// Converting the Set window's typed value for each syntax.
#include "set_value.h"

#include <gtest/gtest.h>

#include <string>

namespace netlens {
namespace {

class SetValueTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS); }
  void TearDown() override { SnmpCleanup(); }

  bool convert(smiUINT32 syntax, const char* text) { return value_.convert(syntax, QString::fromUtf8(text)); }
  std::string octets() const {
    const smiOCTETS& string = value_.value().value.string;
    return std::string(reinterpret_cast<const char*>(string.ptr), string.len);
  }

  SetValue value_;
};

TEST_F(SetValueTest, OctetsAreTheTextWithoutATerminator) {
  ASSERT_TRUE(convert(SNMP_SYNTAX_OCTETS, "Jo Bloggs"));
  EXPECT_EQ(value_.value().syntax, SNMP_SYNTAX_OCTETS);
  EXPECT_EQ(value_.value().value.string.len, 9u);
  EXPECT_EQ(octets(), "Jo Bloggs");
  ASSERT_TRUE(convert(SNMP_SYNTAX_OCTETS, "Z\xC3\xBCrich"));
  EXPECT_EQ(octets(), "Z\xC3\xBCrich");
}

TEST_F(SetValueTest, IntegersKeepToTheirRanges) {
  ASSERT_TRUE(convert(SNMP_SYNTAX_INT, " -2147483648 "));
  EXPECT_EQ(value_.value().value.sNumber, INT32_MIN);
  EXPECT_FALSE(convert(SNMP_SYNTAX_INT, "2147483648"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_INT, "12abc"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_INT, "0x10"));
  for (smiUINT32 syntax : {SNMP_SYNTAX_UINT32, SNMP_SYNTAX_CNTR32, SNMP_SYNTAX_GAUGE32, SNMP_SYNTAX_TIMETICKS}) {
    ASSERT_TRUE(convert(syntax, "4294967295")) << syntax;
    EXPECT_EQ(value_.value().value.uNumber, 4294967295u);
    // A negative count is no count: it is refused rather than wrapped.
    EXPECT_FALSE(convert(syntax, "-1")) << syntax;
    EXPECT_FALSE(convert(syntax, "4294967296")) << syntax;
  }
  // Text that is no number is refused for time ticks too, not sent as 0.
  EXPECT_FALSE(convert(SNMP_SYNTAX_TIMETICKS, "soon"));
}

TEST_F(SetValueTest, Counter64IsOneNumberSplitIntoHalves) {
  ASSERT_TRUE(convert(SNMP_SYNTAX_CNTR64, "18446744073709551615"));
  EXPECT_EQ(value_.value().value.hNumber.hipart, 0xFFFFFFFFu);
  EXPECT_EQ(value_.value().value.hNumber.lopart, 0xFFFFFFFFu);
  ASSERT_TRUE(convert(SNMP_SYNTAX_CNTR64, "4294967296"));
  EXPECT_EQ(value_.value().value.hNumber.hipart, 1u);
  EXPECT_EQ(value_.value().value.hNumber.lopart, 0u);
  EXPECT_FALSE(convert(SNMP_SYNTAX_CNTR64, "18446744073709551616"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_CNTR64, "-5"));
}

TEST_F(SetValueTest, AddressesAndOids) {
  ASSERT_TRUE(convert(SNMP_SYNTAX_IPADDR, "192.168.0.254"));
  EXPECT_EQ(octets(), std::string("\xC0\xA8\x00\xFE", 4));
  EXPECT_FALSE(convert(SNMP_SYNTAX_IPADDR, "192.168.0"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_IPADDR, "192.168.0.256"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_IPADDR, "a.b.c.d"));
  ASSERT_TRUE(convert(SNMP_SYNTAX_OID, "1.3.6.1.4.1.99999"));
  const smiOID& oid = value_.value().value.oid;
  ASSERT_EQ(oid.len, 7u);
  EXPECT_EQ(oid.ptr[6], 99999u);
  EXPECT_FALSE(convert(SNMP_SYNTAX_OID, "not an oid"));
}

TEST_F(SetValueTest, HexOctetsWithOrWithoutSeparators) {
  for (const char* text : {"00 1a 2B ff", "00:1A:2B:FF", "00-1a-2b-ff", "001A2BFF", "0.1a.2b.ff"}) {
    ASSERT_TRUE(convert(SNMP_SYNTAX_OPAQUE, text)) << text;
    EXPECT_EQ(octets(), std::string("\x00\x1A\x2B\xFF", 4)) << text;
  }
  EXPECT_FALSE(convert(SNMP_SYNTAX_BITS, "0G"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_BITS, "123"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_NSAPADDR, "00 123"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_NSAPADDR, " : "));
}

TEST_F(SetValueTest, AFailedConversionLeavesNoValue) {
  ASSERT_TRUE(convert(SNMP_SYNTAX_OCTETS, "kept"));
  EXPECT_FALSE(convert(SNMP_SYNTAX_INT, "x"));
  EXPECT_EQ(value_.value().syntax, 0u);
  EXPECT_EQ(value_.value().value.string.ptr, nullptr);
}

}  // namespace
}  // namespace netlens
