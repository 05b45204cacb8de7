#include "oid_choice.h"
#include "option_values.h"
#include "probe_settings.h"
#include "probe_texts.h"

#include <gtest/gtest.h>

#include <vector>

namespace agentprobe {
namespace {

ParseOutcome parse(std::vector<const char*> arguments, Settings& settings, std::string* refusal = nullptr) {
  arguments.insert(arguments.begin(), "agentprobe");
  std::string ignored;
  return parseCommandLine(static_cast<int>(arguments.size()), arguments.data(), settings,
                          refusal ? *refusal : ignored);
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
  ASSERT_EQ(parse({"10.0.0.9", "127.0.0.1:16161", "-d0", "-mo\"Contact\"", "-s1.3.6.1.2.1.1.4.0", "-rx"}, settings), ParseOutcome::run);
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

TEST(CommandLine, NumbersAreCutToTheirLimitsAndNegativeOnesRefused) {
  Settings settings;
  ASSERT_EQ(parse({"-u99999999999", "-r99999999999", "-d99999999999999999999999", "10.0.0.1"}, settings),
            ParseOutcome::run);
  EXPECT_EQ(settings.timeoutMilliseconds, kLongestTimeout);
  EXPECT_EQ(settings.retransmits, kMostRetransmits);
  EXPECT_EQ(settings.pingIntervalMilliseconds, kLongestPingInterval);
  ASSERT_EQ(parse({"-u5", "10.0.0.1"}, settings), ParseOutcome::run);
  EXPECT_EQ(settings.timeoutMilliseconds, kShortestTimeout);  // less would be no timeout at all
  for (const char* negative : {"-u-100", "-r-1", "-d-5", "-u-99999999999999999999"}) {
    Settings refused;
    std::string refusal;
    EXPECT_EQ(parse({negative, "10.0.0.1"}, refused, &refusal), ParseOutcome::refused) << negative;
    EXPECT_EQ(refusal, std::string("\nOption ") + std::string(negative, 2) + " does not take a negative value: " +
                           (negative + 2));
  }
}

TEST(CommandLine, ASetNeedsTheVariable) {
  Settings settings;
  std::string refusal;
  EXPECT_EQ(parse({"-mi12", "10.0.0.1"}, settings, &refusal), ParseOutcome::refused);
  EXPECT_EQ(refusal, "\nOption -m needs the variable to set, given with -s.");
}

// Knows sysContact (1.3.6.1.2.1.1.4) in SNMPv2-MIB only.
bool testLookup(const std::string& module, const std::string& name, Oid& oid) {
  if (name != "sysContact" || (!module.empty() && module != "SNMPv2-MIB")) return false;
  oid = {1, 3, 6, 1, 2, 1, 1, 4};
  return true;
}

TEST(OidTexts, NumbersOrNamesWithModuleAndInstance) {
  EXPECT_EQ(readOidText(".1.3.6.1", testLookup), (Oid{1, 3, 6, 1}));
  EXPECT_EQ(readOidText("sysContact", testLookup), (Oid{1, 3, 6, 1, 2, 1, 1, 4}));
  EXPECT_EQ(readOidText("sysContact.0", testLookup), (Oid{1, 3, 6, 1, 2, 1, 1, 4, 0}));
  EXPECT_EQ(readOidText("SNMPv2-MIB::sysContact.0.7", testLookup), (Oid{1, 3, 6, 1, 2, 1, 1, 4, 0, 7}));
  for (const char* bad : {"", "foo", "1..3", "1.3.6.1.2.1.1.-1", "1.3.6.1.2.1.1.4294967296", "IF-MIB::sysContact",
                          "sysContact.x", "sysContact.", ".sysContact", "::sysContact.0."}) {
    EXPECT_FALSE(readOidText(bad, testLookup)) << bad;
  }
  EXPECT_FALSE(readOidText("sysContact.0", nullptr));  // no modules loaded
}

TEST(SetValues, EveryTypeLetterAndWhatDoesNotRead) {
  std::string problem;
  EXPECT_EQ(readSetValue('i', "-12", problem)->get().value.sNumber, -12);
  EXPECT_EQ(readSetValue('u', "+4294967295", problem)->get().value.uNumber, 4294967295u);
  EXPECT_EQ(readSetValue('a', "10.0.0.1", problem)->get().syntax, static_cast<smiUINT32>(SNMP_SYNTAX_IPADDR));
  EXPECT_EQ(readSetValue('d', "1.3.6.1.4.1.27182", problem)->get().value.oid.len, 7u);
  EXPECT_EQ(readSetValue('n', "anything", problem)->get().syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
  EXPECT_EQ(readSetValue('o', "", problem)->get().value.string.len, 0u);
  struct Refused {
    char letter;
    const char* text;
    const char* problem;
  };
  for (const Refused& refused : std::vector<Refused>{
           {'a', "10.0.0", "\nOption -m: \"10.0.0\" cannot be read as an IP address (four decimal numbers separated by dots)."},
           {'d', "foo", "\nOption -m: \"foo\" cannot be read as an OID (dotted decimal numbers)."},
           {'i', "12abc", "\nOption -m: \"12abc\" cannot be read as an integer from -2147483648 to 2147483647."},
           {'i', "2147483648", "\nOption -m: \"2147483648\" cannot be read as an integer from -2147483648 to 2147483647."},
           {'c', "-1", "\nOption -m: \"-1\" cannot be read as a counter from 0 to 4294967295."},
           {'x', "12", "\nOption -m: 'x' is not a type letter; use one of o i d u g t c a p b n."},
           {'\0', "", "\nOption -m needs a type letter and a value, such as -mi12."}}) {
    problem.clear();
    EXPECT_FALSE(readSetValue(refused.letter, refused.text, problem)) << refused.text;
    EXPECT_EQ(problem, refused.problem);
  }
}

TEST(SubtreeEnds, TheFirstOidAfterASubtreeNeverWraps) {
  EXPECT_EQ(firstAfterSubtree({1, 3, 6, 1}), (Oid{1, 3, 6, 2}));
  EXPECT_EQ(firstAfterSubtree({1, 3, 6, 1, 2, 1, 1, 4294967295u}), (Oid{1, 3, 6, 1, 2, 1, 2}));
  EXPECT_EQ(firstAfterSubtree({1, 4294967295u, 4294967295u}), (Oid{2}));
  EXPECT_FALSE(firstAfterSubtree({4294967295u}));
}

class OidChoices : public testing::Test {
 protected:
  OidChoice choose(std::vector<const char*> arguments) {
    Settings settings;
    arguments.push_back("10.0.0.1");
    parse(arguments, settings);
    std::string problem;
    std::optional<OptionValues> values = readOptionValues(settings, nullptr, problem);
    EXPECT_TRUE(values) << problem;
    return chooseOids(settings, values->start, values->end);
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

TEST(CommandLine, SnmpV2cAndGetBulkOptions) {
  Settings plain;
  ASSERT_EQ(parse({"10.0.0.1"}, plain), ParseOutcome::run);
  EXPECT_FALSE(plain.snmpV2c);
  EXPECT_EQ(plain.bulkRepetitions, 0);
  Settings v2c;
  ASSERT_EQ(parse({"-2", "10.0.0.1"}, v2c), ParseOutcome::run);
  EXPECT_TRUE(v2c.snmpV2c);
  EXPECT_EQ(v2c.bulkRepetitions, 0);
  struct Case {
    const char* option;
    int repetitions;
  } cases[] = {{"-g", 10}, {"-g50", 50}, {"/G7", 7}, {"-g0", 1}, {"-g99999", 1000}};
  for (const Case& c : cases) {
    Settings bulk;
    ASSERT_EQ(parse({c.option, "10.0.0.1"}, bulk), ParseOutcome::run) << c.option;
    EXPECT_TRUE(bulk.snmpV2c) << c.option;
    EXPECT_EQ(bulk.bulkRepetitions, c.repetitions) << c.option;
  }
  Settings negative;
  std::string refusal;
  EXPECT_EQ(parse({"-g-5", "10.0.0.1"}, negative, &refusal), ParseOutcome::refused);
  EXPECT_EQ(refusal, "\nOption -g does not take a negative value: -5");
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
