#include "compiler_fixture.h"

#include "modforge/module_image.h"
#include "modforge/token.h"

#include <map>
#include <string>
#include <vector>

using namespace modforge;

namespace {

using ModuleImages = CompilerTest;

const char* const kSmi =
    "SMI DEFINITIONS ::= BEGIN\n"
    "org OBJECT IDENTIFIER ::= { iso 3 }\n"
    "Status ::= INTEGER { on(1), off(2) }\n"
    "Counter32 ::= [APPLICATION 1] IMPLICIT INTEGER (0..4294967295)\n"
    "END\n";

const char* const kSmall =
    "SMALL DEFINITIONS ::= BEGIN\n"
    "IMPORTS org, Status, Counter32 FROM SMI;\n"
    "small MODULE-IDENTITY LAST-UPDATED \"x\" ORGANIZATION \"o\" CONTACT-INFO \"c\" DESCRIPTION \"d\" "
    "::= { org 9 }\n"
    "mode OBJECT-TYPE SYNTAX INTEGER { fast(1), slow(2), on(3) } MAX-ACCESS read-write STATUS current "
    "DESCRIPTION \"how\" ::= { small 2 }\n"
    "power OBJECT-TYPE SYNTAX Status ACCESS read-only STATUS mandatory ::= { small 1 }\n"
    "hits OBJECT-TYPE SYNTAX Counter32 MAX-ACCESS read-only STATUS deprecated ::= { small 3 }\n"
    "early OBJECT IDENTIFIER ::= { org 1 }\n"
    "END\n";

TEST_F(ModuleImages, ListAncestorsFromTheRootThenTheModuleInOidOrder) {
  writeSource("smi.mib", kSmi);
  ASSERT_TRUE(compile(kSmall));
  std::optional<ModuleImage> image = buildModuleImage(*compiler, "SMALL");
  ASSERT_TRUE(image);
  std::vector<std::string> order;
  for (const ImageRecord& record : image->records) order.push_back(record.node->name);
  // "early" (1.3.1) comes first in OID order, so its ancestors are written.
  EXPECT_EQ(order, (std::vector<std::string>{"iso", "org", "early", "small", "power", "mode", "hits"}));
  EXPECT_EQ(image->records[0].moduleIndex, 1u);  // iso and org belong to SMI
  EXPECT_EQ(image->records[2].moduleIndex, 0u);
}

TEST_F(ModuleImages, BuildTheNameTableInOrderOfFirstAppearance) {
  writeSource("smi.mib", kSmi);
  ASSERT_TRUE(compile(kSmall));
  std::optional<ModuleImage> image = buildModuleImage(*compiler, "SMALL");
  ASSERT_TRUE(image);
  // The module, the ancestors' modules, then per object type its own
  // labels and those of the type it names.
  EXPECT_EQ(image->names, (std::vector<std::string>{"SMALL", "SMI", "on", "off", "fast", "slow"}));
}

TEST_F(ModuleImages, CarryAccessStatusAndResolvedSyntaxCodes) {
  writeSource("smi.mib", kSmi);
  ASSERT_TRUE(compile(kSmall));
  std::optional<ModuleImage> image = buildModuleImage(*compiler, "SMALL");
  ASSERT_TRUE(image);
  const ImageRecord& power = image->records[4];
  EXPECT_TRUE(power.objectType);
  EXPECT_EQ(power.syntaxCode, 2u);
  EXPECT_EQ(power.accessCode, 1u);
  EXPECT_EQ(power.statusCode, 1u);
  const ImageRecord& mode = image->records[5];
  EXPECT_EQ(mode.accessCode, 2u);
  EXPECT_EQ(mode.statusCode, 5u);
  EXPECT_EQ(image->records[6].statusCode, 4u);
  EXPECT_EQ(image->records[6].syntaxCode, 65u);  // Counter32 is [APPLICATION 1]
  EXPECT_FALSE(image->records[3].objectType);
}

// The SMI's tagged types get their base type from the tag, whichever SMI
// version defines or uses them; reserved words are base types of their own.
TEST_F(ModuleImages, TakeTaggedBaseTypesFromTheirApplicationTag) {
  ASSERT_TRUE(compileModule(
      "IpAddress ::= [APPLICATION 0] IMPLICIT OCTET STRING (SIZE (4))\n"
      "Counter32 ::= [APPLICATION 1] IMPLICIT INTEGER (0..4294967295)\n"
      "Gauge32 ::= [APPLICATION 2] IMPLICIT INTEGER (0..4294967295)\n"
      "Unsigned32 ::= [APPLICATION 2] IMPLICIT INTEGER (0..4294967295)\n"
      "TimeTicks ::= [APPLICATION 3] IMPLICIT INTEGER (0..4294967295)\n"
      "Opaque ::= [APPLICATION 4] IMPLICIT OCTET STRING\n"
      "Counter64 ::= [APPLICATION 6] IMPLICIT INTEGER (0..4294967295)\n"
      "UInteger32 ::= [APPLICATION 7] IMPLICIT INTEGER (0..4294967295)\n"
      "Counter ::= [APPLICATION 1] IMPLICIT INTEGER\n"
      "NetworkAddress ::= CHOICE { internet IpAddress }\n"
      "Odd ::= [APPLICATION 9] IMPLICIT INTEGER\n"
      "Octets ::= TEXTUAL-CONVENTION STATUS current DESCRIPTION \"d\" SYNTAX Counter32\n"
      "Retagged ::= [APPLICATION 3] IMPLICIT Counter32\n"
      "t OBJECT IDENTIFIER ::= { iso 3 }\n"
      "a OBJECT-TYPE SYNTAX IpAddress ACCESS read-only STATUS current ::= { t 1 }\n"
      "b OBJECT-TYPE SYNTAX Counter32 ACCESS read-only STATUS current ::= { t 2 }\n"
      "c OBJECT-TYPE SYNTAX Unsigned32 ACCESS read-only STATUS current ::= { t 3 }\n"
      "d OBJECT-TYPE SYNTAX TimeTicks ACCESS read-only STATUS current ::= { t 4 }\n"
      "e OBJECT-TYPE SYNTAX Counter64 ACCESS read-only STATUS current ::= { t 5 }\n"
      "f OBJECT-TYPE SYNTAX UInteger32 ACCESS read-only STATUS current ::= { t 6 }\n"
      "g OBJECT-TYPE SYNTAX Counter ACCESS read-only STATUS mandatory ::= { t 7 }\n"
      "h OBJECT-TYPE SYNTAX NetworkAddress ACCESS read-only STATUS mandatory ::= { t 8 }\n"
      "i OBJECT-TYPE SYNTAX Octets ACCESS read-only STATUS current ::= { t 9 }\n"
      "j OBJECT-TYPE SYNTAX Odd ACCESS read-only STATUS current ::= { t 10 }\n"
      "k OBJECT-TYPE SYNTAX Retagged ACCESS read-only STATUS current ::= { t 11 }\n"
      "l OBJECT-TYPE SYNTAX Opaque ACCESS read-only STATUS current ::= { t 12 }\n"
      "m OBJECT-TYPE SYNTAX Gauge32 ACCESS read-only STATUS current ::= { t 13 }\n"));
  std::optional<ModuleImage> image = buildModuleImage(*compiler, "TEST-MIB");
  ASSERT_TRUE(image);
  std::map<std::string, uint32_t> codes;
  for (const ImageRecord& record : image->records) codes[record.node->name] = record.syntaxCode;
  EXPECT_EQ(codes, (std::map<std::string, uint32_t>{{"iso", 0},  {"t", 0},  {"a", 64}, {"b", 65}, {"c", 66},
                                                     {"d", 67},  {"e", 70}, {"f", 71}, {"g", 65}, {"h", 64},
                                                     {"i", 65},  {"j", 2},  {"k", 67}, {"l", 68}, {"m", 66}}));
}

TEST_F(ModuleImages, AreNotMadeForAModuleWithoutNodes) {
  ASSERT_TRUE(compile("TYPES DEFINITIONS ::= BEGIN\nT ::= INTEGER\nEND\n"));
  EXPECT_FALSE(buildModuleImage(*compiler, "TYPES"));
  EXPECT_FALSE(buildModuleImage(*compiler, "UNKNOWN"));
}

TEST(RecordCodes, FollowTheKeywordTables) {
  EXPECT_EQ(accessCode(kReadCreate), 5u);
  EXPECT_EQ(accessCode(kWriteOnly), 3u);
  EXPECT_EQ(accessCode(kNotAccessible), 4u);
  EXPECT_EQ(accessCode(kIdentifier), 0u);
  EXPECT_EQ(statusCode(kOptional), 2u);
  EXPECT_EQ(statusCode(kObsolete), 3u);
  EXPECT_EQ(statusCode(0), 0u);
  const std::vector<std::pair<int, uint32_t>> syntaxes = {
      {kIdentifier, 0}, {kInteger, 2},   {kUIntefer32, 2}, {kBit, 3},      {kOctet, 4},        {kDisplayString, 4},
      {kObject, 6},     {kSequence, 48}, {kIpAddress, 64}, {kNetworkAddress, 64}, {kCounter, 65}, {kGauge, 66},
      {kTimeTicks, 67}, {kOpaque, 68},   {kNsapAddress, 69}, {kCounter64, 70}, {kIntefer32, 71}, {kChoice, 5}};
  for (const auto& [token, code] : syntaxes) EXPECT_EQ(syntaxCode(token), code) << token;
}

}  // namespace
