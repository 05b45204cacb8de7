#include "descriptors.h"
#include "netmgr_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Oids : public StartedLibrary {
 protected:
  // Parses text into an OID and returns its sub-identifiers (empty on failure).
  std::vector<smiUINT32> parse(const char* text) {
    smiOID oid{};
    if (SnmpStrToOid(text, &oid) != SNMPAPI_SUCCESS) return {};
    std::vector<smiUINT32> parts(oid.ptr, oid.ptr + oid.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
    return parts;
  }
  smiOID view(std::vector<smiUINT32>& parts) {
    return {static_cast<smiUINT32>(parts.size()), parts.data()};
  }
  int compare(std::vector<smiUINT32> first, std::vector<smiUINT32> second, smiUINT32 limit) {
    smiOID a = view(first), b = view(second);
    smiINT result = 99;
    EXPECT_EQ(SnmpOidCompare(&a, &b, limit, &result), SNMPAPI_SUCCESS);
    return result;
  }
};

using Parts = std::vector<smiUINT32>;

TEST_F(Oids, ParsesDottedDecimalLeniently) {
  EXPECT_EQ(parse("1.3.6.1.2.1.1.1.0"), (Parts{1, 3, 6, 1, 2, 1, 1, 1, 0}));
  EXPECT_EQ(parse("1.3x.6"), (Parts{1, 3, 6}));
  EXPECT_EQ(parse("1.3.6."), (Parts{1, 3, 6}));
  EXPECT_EQ(parse("  1. 3"), (Parts{1, 3}));
  EXPECT_EQ(parse("4294967295"), (Parts{4294967295u}));
  EXPECT_EQ(parse("1.3 trailing words"), (Parts{1, 3}));
}

TEST_F(Oids, SyntaxFailuresLeaveTheErrorAtZero) {
  for (const char* text : {"", ".1.3", "1..3", "x", "-1", "4294967296", "1.99999999999"}) {
    smiOID oid{};
    EXPECT_EQ(SnmpStrToOid(text, &oid), SNMPAPI_FAILURE) << text;
    EXPECT_EQ(SnmpGetLastError(nullptr), 0u) << text;
    EXPECT_EQ(oid.ptr, nullptr);
  }
}

TEST_F(Oids, TooManySubidentifiersAreRefused) {
  std::string text = "1";
  for (int i = 1; i < 1408; ++i) text += ".1";
  EXPECT_EQ(parse(text.c_str()).size(), 1408u);
  text += ".1";
  smiOID oid{};
  EXPECT_EQ(SnmpStrToOid(text.c_str(), &oid), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(oid.ptr, nullptr);
}

TEST_F(Oids, FormatsIntoBuffersThatFitOrFailsTruncated) {
  Parts parts{1, 3, 6, 1, 2, 1, 1, 1, 0};
  smiOID oid = view(parts);
  char buffer[32];
  EXPECT_EQ(SnmpOidToStr(&oid, 18, buffer), 18u);
  EXPECT_STREQ(buffer, "1.3.6.1.2.1.1.1.0");
  EXPECT_EQ(SnmpOidToStr(&oid, 17, buffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OUTPUT_TRUNCATED);
  EXPECT_STREQ(buffer, "1.3.6.1.2.1.1.1.");
  EXPECT_EQ(SnmpOidToStr(&oid, 4, buffer), SNMPAPI_FAILURE);
  EXPECT_STREQ(buffer, "1.3");
  EXPECT_EQ(SnmpOidToStr(&oid, 0, buffer), SNMPAPI_FAILURE);

  Parts largest{4294967295u};
  smiOID big = view(largest);
  EXPECT_EQ(SnmpOidToStr(&big, sizeof buffer, buffer), 11u);
  EXPECT_STREQ(buffer, "4294967295");
}

TEST_F(Oids, FormattingRefusesMissingArguments) {
  Parts parts{1, 3};
  smiOID oid = view(parts), empty{0, nullptr};
  char buffer[8];
  EXPECT_EQ(SnmpOidToStr(nullptr, sizeof buffer, buffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
  EXPECT_EQ(SnmpOidToStr(&empty, sizeof buffer, buffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
  EXPECT_EQ(SnmpOidToStr(&oid, sizeof buffer, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
}

TEST_F(Oids, CopiesAreFreshDescriptorsWithinTheLimit) {
  Parts parts(1408, 7);
  smiOID source = view(parts), copy{};
  ASSERT_EQ(SnmpOidCopy(&source, &copy), SNMPAPI_SUCCESS);
  EXPECT_EQ(copy.len, 1408u);
  EXPECT_NE(copy.ptr, source.ptr);
  EXPECT_EQ(copy.ptr[1407], 7u);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&copy));

  parts.push_back(7);
  source = view(parts);
  EXPECT_EQ(SnmpOidCopy(&source, &copy), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SIZE_INVALID);
  smiOID empty{0, nullptr};
  EXPECT_EQ(SnmpOidCopy(&empty, &copy), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(SnmpOidCopy(nullptr, &copy), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OID_INVALID);
}

TEST_F(Oids, ComparesWithAndWithoutALengthLimit) {
  EXPECT_EQ(compare({1, 3, 6, 1}, {1, 3, 6, 2}, 3), 0);
  EXPECT_EQ(compare({1, 3, 6, 1}, {1, 3, 6, 2}, 0), -1);
  EXPECT_EQ(compare({1, 3}, {1, 3, 6}, 0), -1);
  EXPECT_EQ(compare({1, 3, 6}, {1, 3}, 0), 1);
  EXPECT_EQ(compare({1, 3}, {1, 3}, 0), 0);
  EXPECT_EQ(compare({4294967295u}, {1}, 0), 1);  // unsigned, not signed
  EXPECT_EQ(compare({1, 3}, {1, 3, 6}, 2), 0);
  EXPECT_EQ(compare({1, 3}, {1, 3, 6}, 3), -1);
  EXPECT_EQ(compare({1, 3, 6, 9}, {1, 3, 6}, 3), 0);
  EXPECT_EQ(compare({1, 3, 6, 9}, {1, 3, 6}, 127), 1);
}

TEST_F(Oids, ComparisonRefusesWithoutAnErrorCode) {
  Parts parts{1, 3};
  smiOID oid = view(parts), empty{0, nullptr};
  smiINT result = 5;
  EXPECT_EQ(SnmpOidCompare(&oid, &oid, 128, &result), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpOidCompare(&oid, &empty, 0, &result), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpOidCompare(nullptr, &oid, 0, &result), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpOidCompare(&oid, &oid, 0, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), 0u);
  EXPECT_EQ(result, 5);
}

TEST_F(Oids, DescriptorsAreFreedOnceWithADescriptorSyntax) {
  smiOID oid{};
  ASSERT_EQ(SnmpStrToOid("1.3.6", &oid), SNMPAPI_SUCCESS);
  long live = netmgr::liveDescriptors();
  auto* descriptor = reinterpret_cast<smiLPOPAQUE>(&oid);
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_INT, descriptor), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SYNTAX_INVALID);
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OID, descriptor), SNMPAPI_SUCCESS);
  EXPECT_EQ(oid.ptr, nullptr);
  EXPECT_EQ(oid.len, 0u);
  EXPECT_EQ(netmgr::liveDescriptors(), live - 1);
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OID, descriptor), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
}

TEST_F(Oids, ParsingOutOfMemoryGivesError2) {
  smiOID oid{};
  platform::failAllocationAfter(0);
  EXPECT_EQ(SnmpStrToOid("1.3.6", &oid), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR);
}

}  // namespace
