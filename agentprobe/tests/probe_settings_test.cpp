#include "oid_choice.h"
#include "probe_settings.h"
#include "probe_texts.h"
#include "winsnmp.h"

#include <gtest/gtest.h>

#include <vector>

namespace agentprobe {
namespace {

ParseOutcome parse(std::vector<const char*> arguments, Settings& settings) {
  arguments.insert(arguments.begin(), "agentprobe");
  return parseCommandLine(static_cast<int>(arguments.size()), arguments.data(), settings);
}

TEST(CommandLine, DefaultsAndAttachedParameters) {
  Settings settings;
  ASSERT_EQ(parse({"-cpublic", "/R3", "-u250", "-T", "-l", "010.000.000.001"}, settings), ParseOutcome::run);
  EXPECT_EQ(settings.community, "public");
  EXPECT_EQ(settings.retransmits, 3);
  EXPECT_EQ(settings.timeoutMilliseconds, 250);
  EXPECT_TRUE(settings.printTypes);
  EXPECT_TRUE(settings.printLineNumbers);
  EXPECT_EQ(settings.agentAddress, "10.0.0.1");
  EXPECT_EQ(settings.agentPort, 161);
  Settings defaults;
  ASSERT_EQ(parse({"10.0.0.1"}, defaults), ParseOutcome::run);
  EXPECT_EQ(defaults.community, "vulpes");
  EXPECT_EQ(defaults.retransmits, 1);
  EXPECT_EQ(defaults.timeoutMilliseconds, 5000);
}

TEST(CommandLine, UsageForNoArgumentsUnknownLettersAndBadAddresses) {
  for (std::vector<const char*> arguments :
       {std::vector<const char*>{}, {"-x", "10.0.0.1"}, {"10.0.0.256"}, {"host.example"}, {"10.0.0"},
        {"10.0.0.1.2"}, {"1a.0.0.1"}, {"10.0.0.1:"}, {"10.0.0.1:70000"}, {"-"}}) {
    Settings settings;
    EXPECT_EQ(parse(arguments, settings), ParseOutcome::usage) << (arguments.empty() ? "" : arguments[0]);
  }
}

TEST(CommandLine, PortsPingIntervalsSetValuesAndTheLastAddress) {
  Settings settings;
  ASSERT_EQ(parse({"10.0.0.9", "127.0.0.1:16161", "-d0", "-mo\"Contact\"", "-rx"}, settings), ParseOutcome::run);
  EXPECT_EQ(settings.agentAddress, "127.0.0.1");
  EXPECT_EQ(settings.agentPort, 16161);
  EXPECT_TRUE(settings.pingUntilInterrupted);
  EXPECT_EQ(settings.pingIntervalMilliseconds, 0);
  EXPECT_EQ(settings.setType, 'o');
  EXPECT_EQ(settings.setText, "\"Contact\"");
  EXPECT_EQ(settings.retransmits, 0);  // not a number reads as 0
  Settings ping;
  parse({"-d", "10.0.0.1"}, ping);
  EXPECT_EQ(ping.pingIntervalMilliseconds, 1000);
}

class OidChoices : public testing::Test {
 protected:
  void SetUp() override { SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr); }
  void TearDown() override { SnmpCleanup(); }
  OidChoice choose(std::vector<const char*> arguments) {
    Settings settings;
    arguments.push_back("10.0.0.1");
    parse(arguments, settings);
    return chooseOids(settings);
  }
};

TEST_F(OidChoices, FollowTheFirstRuleThatApplies) {
  OidChoice ping = choose({"-d", "-f"});
  EXPECT_EQ(ping.first, FirstRequest::get);
  EXPECT_EQ(*ping.start, (Oid{1, 3, 6, 1, 2, 1, 1, 3, 0}));
  OidChoice set = choose({"-mi12", "-s1.3.6.1.2.1.1.7.0"});
  EXPECT_EQ(set.first, FirstRequest::set);
  EXPECT_EQ(*set.end, *set.start);
  OidChoice wholeFromStart = choose({"-f", "-s1.3.6.1"});
  EXPECT_EQ(*wholeFromStart.start, (Oid{1, 3, 6, 1}));
  EXPECT_FALSE(wholeFromStart.end);
  OidChoice endOnly = choose({"-e1.3.6.1.2.1.2"});
  EXPECT_FALSE(endOnly.start);
  EXPECT_EQ(*endOnly.end, (Oid{1, 3, 6, 1, 2, 1, 2}));
  OidChoice startOnly = choose({"-s1.3.6.1"});
  EXPECT_EQ(*startOnly.end, (Oid{1, 3, 6, 2}));
  OidChoice whole = choose({"-f"});
  EXPECT_EQ(*whole.start, (Oid{1, 3, 6, 1, 2, 1, 1, 1}));
  EXPECT_FALSE(whole.end);
  OidChoice info = choose({"-i"});
  EXPECT_EQ(*info.end, (Oid{1, 3, 6, 1, 2, 1, 2}));
  OidChoice plain = choose({});
  EXPECT_EQ(*plain.start, (Oid{1, 3, 6, 1, 2, 1, 1, 3}));
  EXPECT_EQ(*plain.end, (Oid{1, 3, 6, 1, 2, 1, 1, 4}));
  EXPECT_EQ(plain.first, FirstRequest::getNext);
}

TEST_F(OidChoices, SubtreeWalksEndAfterTheParent) {
  OidChoice subtree = choose({"-b", "-s1.3.6.1.2.1.1.1"});
  EXPECT_EQ(*subtree.start, (Oid{1, 3, 6, 1, 2, 1, 1, 1}));
  EXPECT_EQ(*subtree.end, (Oid{1, 3, 6, 1, 2, 1, 2}));
}

TEST(Texts, UsageKeepsItsLinesAndAddsThePortForm) {
  std::string usage = usageText();
  EXPECT_EQ(usage.rfind("\n\nUsage: agentprobe [-v] [-c(community)] [-r] [-u] [-f] [-b] [-i] [-o]", 0), 0u);
  EXPECT_NE(usage.find("\n   -u              Timeout per retransmit in miliseconds [default = 5000]."),
            std::string::npos);
  EXPECT_NE(usage.find("ip.ip.ip.ip:port"), std::string::npos);
}

TEST(Texts, ParameterBlockNamesTheOids) {
  Settings settings;
  parse({"-s1.3.6.1.2.1.1.3", "-p", "10.0.0.1"}, settings);
  std::string block = parameterBlock(settings, "sysUpTime", "");
  EXPECT_NE(block.find("\nRemote agent IP address: 10.0.0.1"), std::string::npos);
  EXPECT_NE(block.find("\nStart OID: 1.3.6.1.2.1.1.3 [sysUpTime]"), std::string::npos);
  EXPECT_EQ(block.find("Stop OID"), std::string::npos);
  EXPECT_NE(block.find("\nPrint parameters: TRUE"), std::string::npos);
  EXPECT_EQ(block.substr(block.size() - 1), "\n");
}

}  // namespace
}  // namespace agentprobe
