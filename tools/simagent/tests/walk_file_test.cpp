#include "walk_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace simagent {
namespace {

Value parsed(const std::string& text) {
  Value value;
  EXPECT_TRUE(parseWalkValue(text, value)) << text;
  return value;
}

TEST(WalkValues, EveryTypeSnmpwalkPrints) {
  EXPECT_EQ(parsed("STRING: \"Linux vm 6.1\"").octets, "Linux vm 6.1");
  EXPECT_EQ(parsed("STRING: \"say \\\"hi\\\"\"").octets, "say \"hi\"");
  EXPECT_EQ(parsed("STRING: unquoted words").octets, "unquoted words");
  EXPECT_EQ(parsed("\"\"").syntax, 0x04);
  EXPECT_EQ(parsed("\"\"").octets, "");
  EXPECT_EQ(parsed("Hex-STRING: 4E 59 64 92 42 8C ").octets, "\x4E\x59\x64\x92\x42\x8C");
  EXPECT_EQ(parsed("INTEGER: -4").number, -4);
  EXPECT_EQ(parsed("INTEGER: up(1)").number, 1);
  EXPECT_EQ(parsed("Timeticks: (211) 0:00:02.11").number, 211);
  EXPECT_EQ(parsed("Timeticks: (211) 0:00:02.11").syntax, 0x43);
  EXPECT_EQ(parsed("Counter32: 4294967295").number, 4294967295);
  EXPECT_EQ(parsed("Gauge32: 80").syntax, 0x42);
  EXPECT_EQ(parsed("Counter64: 18446744073709551615").counter64, UINT64_MAX);
  EXPECT_EQ(parsed("OID: .1.3.6.1.4.1.8072.3.2.10").oid, (Oid{1, 3, 6, 1, 4, 1, 8072, 3, 2, 10}));
  EXPECT_EQ(parsed("IpAddress: 192.0.2.1").octets, std::string("\xC0\x00\x02\x01", 4));
  EXPECT_EQ(parsed("Network Address: 7F:00:00:01").octets, std::string("\x7F\x00\x00\x01", 4));
  EXPECT_EQ(parsed("NULL").syntax, 0x05);
}

TEST(WalkValues, RefusesWhatCannotBeServed) {
  Value value;
  for (const char* text : {"INTEGER: 99999999999", "Counter32: -1", "IpAddress: 300.1.1.1", "OID: .1..3",
                           "No more variables left in this MIB View", "Opaque: Float: 1.5", "INTEGER: x"}) {
    EXPECT_FALSE(parseWalkValue(text, value)) << text;
  }
}

TEST(WalkFile, LoadsInstancesJoiningContinuationLines) {
  std::istringstream text(
      ".1.3.6.1.2.1.1.1.0 = STRING: \"first line\nsecond line\"\n"
      ".1.3.6.1.2.1.1.3.0 = Timeticks: (5) 0:00:00.05\n"
      ".1.3.6.1.2.1.2.2.1.6.2 = Hex-STRING: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
      "10 11 \n"
      ".1.3.6.1.2.1.9 = No Such Object available on this agent at this OID\n");
  MibView view;
  WalkFileResult result = loadWalk(text, view, true);
  EXPECT_EQ(result.loaded, 3u);
  EXPECT_EQ(result.skipped, 1u);
  EXPECT_NE(result.firstError.find("No Such Object"), std::string::npos);
  EXPECT_EQ(view.get({1, 3, 6, 1, 2, 1, 1, 1, 0})->octets, "first line\nsecond line");
  EXPECT_EQ(view.get({1, 3, 6, 1, 2, 1, 2, 2, 1, 6, 2})->octets.size(), 18u);
}

TEST(Oids, TextRoundTripAndRefusals) {
  EXPECT_EQ(oidToText(*oidFromText(".1.3.6.1")), "1.3.6.1");
  EXPECT_EQ(oidFromText("1.3.6.1"), (Oid{1, 3, 6, 1}));
  for (const char* bad : {"", ".", "1..3", "1.3.", "1.x", "99999999999"}) EXPECT_FALSE(oidFromText(bad)) << bad;
}

}  // namespace
}  // namespace simagent
