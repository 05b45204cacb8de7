#include "compiler_fixture.h"

#include "modforge/module_image.h"
#include "modforge/token.h"

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
  EXPECT_EQ(image->records[6].syntaxCode, 2u);  // Counter32 resolves to INTEGER
  EXPECT_FALSE(image->records[3].objectType);
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
