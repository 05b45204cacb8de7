#include "value_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace consoleformat {
namespace {

std::vector<smiBYTE> bytesOf(const smiVALUE& value) {
  return {value.value.string.ptr, value.value.string.ptr + value.value.string.len};
}

TEST(ValueConversion, Numbers) {
  smiVALUE value;
  ASSERT_TRUE(convertValue("-12", SNMP_SYNTAX_INT, value));
  EXPECT_EQ(value.value.sNumber, -12);
  ASSERT_TRUE(convertValue("4294967295", SNMP_SYNTAX_UINT32, value));
  EXPECT_EQ(value.value.uNumber, 4294967295u);
  ASSERT_TRUE(convertValue("words", SNMP_SYNTAX_GAUGE32, value));
  EXPECT_EQ(value.value.uNumber, 0u);
  ASSERT_TRUE(convertValue("500", SNMP_SYNTAX_TIMETICKS, value));
  EXPECT_EQ(value.value.uNumber, 500u);
  ASSERT_TRUE(convertValue("4294967296", SNMP_SYNTAX_CNTR64, value));
  EXPECT_EQ(value.value.hNumber.hipart, 1u);
  EXPECT_EQ(value.value.hNumber.lopart, 0u);
}

TEST(ValueConversion, FourByteAddresses) {
  smiVALUE value;
  EXPECT_FALSE(convertValue("10.0.0", SNMP_SYNTAX_IPADDR, value));
  EXPECT_FALSE(convertValue("10.0.0.1.5", SNMP_SYNTAX_IPADDR, value));
  EXPECT_FALSE(convertValue("10.0.x.1", SNMP_SYNTAX_IPADDR, value));
  ASSERT_TRUE(convertValue("10.0.0.1", SNMP_SYNTAX_IPADDR, value));
  EXPECT_EQ(bytesOf(value), (std::vector<smiBYTE>{10, 0, 0, 1}));
  releaseValue(value);
  ASSERT_TRUE(convertValue("256.1.2.3", SNMP_SYNTAX_BITS, value));
  EXPECT_EQ(bytesOf(value), (std::vector<smiBYTE>{0, 1, 2, 3}));
  releaseValue(value);
}

TEST(ValueConversion, OctetsOidsAndEmptySyntaxes) {
  smiVALUE value;
  ASSERT_TRUE(convertValue("Contact person name", SNMP_SYNTAX_OCTETS, value));
  EXPECT_EQ(std::string(value.value.string.ptr, value.value.string.ptr + value.value.string.len),
            "Contact person name");
  releaseValue(value);
  ASSERT_TRUE(convertValue("", SNMP_SYNTAX_OCTETS, value));
  EXPECT_EQ(value.value.string.len, 0u);
  ASSERT_TRUE(convertValue("1.3.6.1.4.1.27182", SNMP_SYNTAX_OID, value));
  EXPECT_EQ(value.value.oid.len, 7u);
  EXPECT_EQ(value.value.oid.ptr[6], 27182u);
  releaseValue(value);
  EXPECT_FALSE(convertValue("1.3.x", SNMP_SYNTAX_OID, value));
  EXPECT_FALSE(convertValue("1..3", SNMP_SYNTAX_OID, value));
  ASSERT_TRUE(convertValue("ignored", SNMP_SYNTAX_NULL, value));
  EXPECT_EQ(value.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
  EXPECT_FALSE(convertValue("1", 0x07, value));
}

TEST(DottedOids, NumbersOnlyEachFittingIn32Bits) {
  std::vector<smiUINT32> parts;
  ASSERT_TRUE(readDottedOid("1.3.6.1.4294967295", parts));
  EXPECT_EQ(parts, (std::vector<smiUINT32>{1, 3, 6, 1, 4294967295u}));
  ASSERT_TRUE(readDottedOid(".1.3.6", parts));  // as snmpwalk prints it
  EXPECT_EQ(parts, (std::vector<smiUINT32>{1, 3, 6}));
  for (const char* bad : {"", ".", "1..3", "1.3.", "..1", "1.3.-1", "1.3.+1", "1.3.4294967296", "1.3x.6", "foo",
                          "1 .3", "0x1.3"}) {
    EXPECT_FALSE(readDottedOid(bad, parts)) << bad;
  }
  std::string longest = "1";
  for (size_t i = 1; i < kMaxOidLength; ++i) longest += ".1";
  EXPECT_TRUE(readDottedOid(longest.c_str(), parts));
  EXPECT_FALSE(readDottedOid((longest + ".1").c_str(), parts));
}

TEST(OwnedValues, KeepTheirBufferUntilTheyGo) {
  std::optional<OwnedValue> contact = OwnedValue::read("Jo Bloggs", SNMP_SYNTAX_OCTETS);
  ASSERT_TRUE(contact);
  OwnedValue moved = std::move(*contact);
  EXPECT_EQ(contact->get().syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
  EXPECT_EQ(std::string(moved.get().value.string.ptr, moved.get().value.string.ptr + 9), "Jo Bloggs");
  moved = *OwnedValue::read("1.3.6.1", SNMP_SYNTAX_OID);  // the string's buffer is released
  EXPECT_EQ(moved.get().value.oid.len, 4u);
  EXPECT_FALSE(OwnedValue::read("10.0.0", SNMP_SYNTAX_IPADDR));
}

TEST(ValueConversion, NsapAddressesReadTheHexFormThatIsPrinted) {
  smiVALUE value;
  ASSERT_TRUE(convertValue("47.00.05.ff", SNMP_SYNTAX_NSAPADDR, value));
  EXPECT_EQ(bytesOf(value), (std::vector<smiBYTE>{0x47, 0x00, 0x05, 0xff}));
  releaseValue(value);
  EXPECT_FALSE(convertValue("47.100", SNMP_SYNTAX_NSAPADDR, value));
}

}  // namespace
}  // namespace consoleformat
