#include "variable_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace consoleformat {
namespace {

smiOID oidOf(std::vector<smiUINT32>& parts) { return {static_cast<smiUINT32>(parts.size()), parts.data()}; }

smiVALUE octetsValue(const char* bytes, smiUINT32 length, smiUINT32 syntax = SNMP_SYNTAX_OCTETS) {
  smiVALUE value{};
  value.syntax = syntax;
  value.value.string = {length, reinterpret_cast<smiLPBYTE>(const_cast<char*>(bytes))};
  return value;
}

// Knows sysUpTime (1.3.6.1.2.1.1.3) and system (1.3.6.1.2.1.1) only.
bool testNamer(const smiUINT32* parts, smiUINT32 length, std::string& name) {
  static const smiUINT32 system[] = {1, 3, 6, 1, 2, 1, 1};
  if (length < 7 || std::memcmp(parts, system, sizeof system) != 0) return false;
  if (length == 7) name = "system";
  else if (length == 8 && parts[7] == 3) name = "sysUpTime";
  else return false;
  return true;
}

class Names : public testing::Test {
 protected:
  void SetUp() override { setNodeNamer(testNamer); }
  void TearDown() override { setNodeNamer(nullptr); }
};

TEST_F(Names, LongestKnownPrefixThenTheRemainingNumbers) {
  std::vector<smiUINT32> upTime{1, 3, 6, 1, 2, 1, 1, 3, 0}, contact{1, 3, 6, 1, 2, 1, 1, 4, 0},
      unknown{1, 3, 6, 1, 4, 1}, empty;
  EXPECT_EQ(namedOid(oidOf(upTime)), "sysUpTime.0");
  EXPECT_EQ(namedOid(oidOf(contact)), "system.4.0");
  EXPECT_EQ(namedOid(oidOf(unknown)), "1.3.6.1.4.1");
  EXPECT_EQ(namedOid(oidOf(empty)), "");
}

// Counts what it is asked; knows what testNamer knows.
int namerQuestions = 0;
bool countingNamer(const smiUINT32* parts, smiUINT32 length, std::string& name) {
  ++namerQuestions;
  return testNamer(parts, length, name);
}

// A walk names neighbour after neighbour: each gets the name it would get
// alone, whatever came before, and the prefixes it shares with the one
// before are not asked for again.
TEST_F(Names, NeighboursAreNamedAsAloneWithoutAskingForSharedPrefixes) {
  setNodeNamer(countingNamer);
  std::vector<std::vector<smiUINT32>> walk{
      {1, 3, 6, 1, 2, 1, 1, 3, 0},    {1, 3, 6, 1, 2, 1, 1, 3, 0, 7}, {1, 3, 6, 1, 2, 1, 1, 4, 0},
      {1, 3, 6, 1, 2, 1, 1, 3},       {1, 3, 6, 1, 4, 1, 9},          {1, 3, 6, 1, 4, 1, 9, 2},
      {1, 3, 6, 1, 2, 1, 1, 3, 5, 6}, {1, 3, 6, 1, 2, 1, 1},          {1, 3, 6, 1, 2, 1, 1, 3, 1}};
  std::vector<std::string> expected{"sysUpTime.0",   "sysUpTime.0.7", "system.4.0",
                                    "sysUpTime",     "1.3.6.1.4.1.9", "1.3.6.1.4.1.9.2",
                                    "sysUpTime.5.6", "system",        "sysUpTime.1"};
  for (size_t i = 0; i < walk.size(); ++i) EXPECT_EQ(namedOid(oidOf(walk[i])), expected[i]) << "OID " << i;

  std::vector<smiUINT32> first{1, 3, 6, 1, 2, 1, 1, 3, 7}, next{1, 3, 6, 1, 2, 1, 1, 3, 8};
  namedOid(oidOf(first));
  namerQuestions = 0;
  EXPECT_EQ(namedOid(oidOf(next)), "sysUpTime.8");
  EXPECT_EQ(namerQuestions, 1);  // only the whole OID, which differs from the one before
}

TEST_F(Names, OidValuesAreNamedAndTheNullOidIsMarked) {
  std::vector<smiUINT32> zeroZero{0, 0}, upTime{1, 3, 6, 1, 2, 1, 1, 3};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OID;
  value.value.oid = oidOf(zeroZero);
  EXPECT_EQ(*valueText(value), "(null-oid) 0.0");
  value.value.oid = oidOf(upTime);
  EXPECT_EQ(*valueText(value), "sysUpTime");
}

TEST(NumericOids, SubidentifiersAreUnsigned) {
  std::vector<smiUINT32> parts{1, 3, 4294967295u};
  EXPECT_EQ(numericOid(oidOf(parts)), "1.3.4294967295");
  EXPECT_EQ(namedOid(oidOf(parts)), "1.3.4294967295");  // no names installed
}

TEST(OctetStrings, CharactersHexOrZeroLength) {
  EXPECT_EQ(*valueText(octetsValue("abc", 3)), "abc");
  EXPECT_EQ(*valueText(octetsValue("a\0b", 3)), "61.00.62 (hex)");
  EXPECT_EQ(*valueText(octetsValue("abc\0", 4)), "abc");
  EXPECT_EQ(*valueText(octetsValue("", 0)), "(zero-length)");
  EXPECT_EQ(*valueText(octetsValue("two\r\nlines\t", 11)), "two\r\nlines\t");
}

TEST(OctetStrings, OnlyWellFormedPrintableTextIsWrittenAsCharacters) {
  EXPECT_EQ(*valueText(octetsValue("Z\xc3\xbcrich \xe2\x82\xac \xf0\x9f\x93\xa1", 16)),
            "Z\xc3\xbcrich \xe2\x82\xac \xf0\x9f\x93\xa1");
  EXPECT_EQ(*valueText(octetsValue("\x1b[2J", 4)), "1b.5b.32.4a (hex)");       // ESC
  EXPECT_EQ(*valueText(octetsValue("a\rb", 3)), "61.0d.62 (hex)");             // a carriage return on its own
  EXPECT_EQ(*valueText(octetsValue("a\x7f", 2)), "61.7f (hex)");               // DEL
  EXPECT_EQ(*valueText(octetsValue("\x9b" "2J", 3)), "9b.32.4a (hex)");        // C1 control as one byte
  EXPECT_EQ(*valueText(octetsValue("\xc2\x9b" "2J", 4)), "c2.9b.32.4a (hex)");  // C1 control in UTF-8
  EXPECT_EQ(*valueText(octetsValue("\x00\x1a\x2b\x3c\xcd\x5e", 6)), "00.1a.2b.3c.cd.5e (hex)");
  EXPECT_EQ(*valueText(octetsValue("\xc0\xaf", 2)), "c0.af (hex)");           // overlong
  EXPECT_EQ(*valueText(octetsValue("\xed\xa0\x80", 3)), "ed.a0.80 (hex)");    // surrogate
  EXPECT_EQ(*valueText(octetsValue("\xf4\x90\x80\x80", 4)), "f4.90.80.80 (hex)");  // above U+10FFFF
  EXPECT_EQ(*valueText(octetsValue("ab\xe2\x82", 4)), "61.62.e2.82 (hex)");   // cut short
}

// What reaches the terminal: printable ASCII, tab and line ends only,
// whatever the octets were.
bool onlyPrintableAscii(const std::string& text) {
  for (unsigned char byte : text) {
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte >= 0x7f) return false;
  }
  return true;
}

TEST(OctetStrings, NoOctetReachesTheTerminalAsAControl) {
  std::string every;
  for (int byte = 0; byte < 256; ++byte) {
    every += static_cast<char>(byte);
    std::string text = *valueText(octetsValue(every.data() + byte, 1));
    EXPECT_TRUE(onlyPrintableAscii(text)) << "octet " << byte << ": " << text;
    std::string pair = std::string(1, static_cast<char>(byte)) + "\r";
    EXPECT_TRUE(valueText(octetsValue(pair.data(), 2))->ends_with(" (hex)")) << byte;
  }
  std::string text = *valueText(octetsValue(every.data(), 256));
  EXPECT_TRUE(onlyPrintableAscii(text));
  EXPECT_EQ(text.substr(0, 12), "00.01.02.03.");
  EXPECT_TRUE(text.ends_with(".fe.ff (hex)"));
}

TEST(ValueTexts, EverySyntax) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_INT;
  value.value.sNumber = -7;
  EXPECT_EQ(*valueText(value), "-7");
  value.syntax = SNMP_SYNTAX_CNTR32;
  value.value.uNumber = 4294967295u;
  EXPECT_EQ(*valueText(value), "4294967295");
  value.syntax = SNMP_SYNTAX_CNTR64;
  value.value.hNumber = {0x1, 0xabcdef};
  EXPECT_EQ(*valueText(value), "1.abcdef (hex)");
  EXPECT_EQ(*valueText(octetsValue("\x0a\x00\x00\x01", 4, SNMP_SYNTAX_IPADDR)), "10.0.0.1");
  EXPECT_EQ(*valueText(octetsValue("\x01\x02\xff", 3, SNMP_SYNTAX_BITS)), "01.02.ff (hex)");
  value.syntax = SNMP_SYNTAX_NULL;
  EXPECT_EQ(*valueText(value), "NULL");
  value.syntax = SNMP_SYNTAX_ENDOFMIBVIEW;
  EXPECT_EQ(*valueText(value), "ENDOFMIBVIEW");
  value.syntax = 0x07;
  EXPECT_FALSE(valueText(value));
}

TEST(TimeTicks, DaysAndTheirSingular) {
  EXPECT_EQ(timeTicksText(0), "0 days 00h:00m:00s.00th");
  EXPECT_EQ(timeTicksText(8640000), "1 day 00h:00m:00s.00th");
  EXPECT_EQ(timeTicksText(4294967295u), "497 days 02h:27m:52s.95th");
  EXPECT_EQ(timeTicksText(366101), "0 days 01h:01m:01s.01th");
}

TEST(VariableLines, PartsInOrderAndUnknownSyntaxDropped) {
  std::vector<smiUINT32> parts{1, 3, 6, 1};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_GAUGE32;
  value.value.uNumber = 9;
  EXPECT_EQ(*variableLine(oidOf(parts), value, kNewline | kNumericOid | kSeparator | kType | kValue, "\n"),
            "\n1.3.6.1 **** (gauge32) 9");
  EXPECT_EQ(*variableLine(oidOf(parts), value, kNewline | kNumericOid | kValue, "\r\n"), "\r\n1.3.6.19");
  value.syntax = 0x07;
  EXPECT_FALSE(variableLine(oidOf(parts), value, kNumericOid | kValue, "\n"));
  EXPECT_EQ(*variableLine(oidOf(parts), value, kNumericOid | kSeparator | kType, "\n"), "1.3.6.1 ****  ");
}

TEST(ErrorNames, KnownStatusesAndTheRest) {
  EXPECT_STREQ(errorStatusName(0), "no error");
  EXPECT_STREQ(errorStatusName(2), "no such name");
  EXPECT_STREQ(errorStatusName(18), "inconsistent name");
  EXPECT_STREQ(errorStatusName(19), "unknown error");
  EXPECT_STREQ(errorStatusName(-1), "unknown error");
}

TEST(VersionBlock, ModesInWords) {
  EXPECT_EQ(versionBlock(1, 1, 1, SNMPAPI_UNTRANSLATED_V1, SNMPAPI_ON),
            "\n\nWinSNMP module version:\n\nMajor version: 1\nMinor version: 1\nLevel: 1"
            "\nTranslate mode: Untranslated V1\nRetransmit mode: Executing the retransmission policy.\n");
  EXPECT_NE(versionBlock(1, 1, 1, 7, 9).find("Translate mode: \nRetransmit mode: \n"), std::string::npos);
}

}  // namespace
}  // namespace consoleformat
