// alertcast sends to net-snmp's snmptrapd: the logged trap shows the
// generic and specific type, enterprise, agent address, time stamp and
// every binding alertcast was given, one test per value type letter.
#include "background_process.h"
#include "net_snmp_trap_receiver.h"
#include "required_peer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace std::chrono_literals;

class AlertcastToSnmptrapd : public testing::Test {
 protected:
  void SetUp() override {
    if (system("command -v snmptrapd >/dev/null 2>&1") != 0) {
      ORVANE_MISSING_PEER() << "snmptrapd (Debian package snmptrapd) is not installed";
    }
    ASSERT_TRUE(receiver.start()) << "snmptrapd did not start";
  }

  // Runs alertcast against the receiver; the trap line it logged.
  std::string send(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {ORVANE_ALERTCAST_PATH, "127.0.0.1:" + std::to_string(receiver.port())});
    ProgramRun run = runProgram(arguments, 60s);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    return receiver.nextTrap();
  }

  NetSnmpTrapReceiver receiver;
};

TEST_F(AlertcastToSnmptrapd, TheTrapCarriesTheGivenTypesEnterpriseAgentAndTimeStamp) {
  std::string linkUp = send({"-g3", "-corvane", "-t2000", "-a10.1.2.3", "-e1.3.6.1.4.1.27182"});
  EXPECT_EQ(trapField(linkUp, "generic"), "3");
  EXPECT_EQ(trapField(linkUp, "specific"), "0");
  EXPECT_EQ(trapField(linkUp, "enterprise"), ".1.3.6.1.4.1.27182");
  EXPECT_EQ(trapField(linkUp, "agent"), "10.1.2.3");
  EXPECT_EQ(trapField(linkUp, "uptime"), "2000");
  EXPECT_EQ(trapField(linkUp, "bindings"), ".0.0 = NULL");
  std::string specific = send({"-s5", "-anone"});
  EXPECT_EQ(trapField(specific, "generic"), "6");
  EXPECT_EQ(trapField(specific, "specific"), ".5");  // snmptrapd's form for enterprise-specific traps
  EXPECT_EQ(trapField(specific, "enterprise"), ".0.0");
  EXPECT_EQ(trapField(specific, "agent"), "0.0.0.0");
}

// Without -a and -t: this computer's address and its up time.
TEST_F(AlertcastToSnmptrapd, DefaultsToThisComputersAddressAndUpTime) {
  std::ifstream uptimeFile("/proc/uptime");
  double before = 0;
  uptimeFile >> before;
  std::string line = send({});
  std::ifstream again("/proc/uptime");
  double after = 0;
  again >> after;
  long long ticks = std::stoll(trapField(line, "uptime"));
  EXPECT_GE(ticks, static_cast<long long>(before * 100) - 100);
  EXPECT_LE(ticks, static_cast<long long>(after * 100) + 100);
  ProgramRun addresses = runProgram({"hostname", "-I"}, 30s);
  std::istringstream words(addresses.output);
  std::set<std::string> mine;
  for (std::string word; words >> word;)
    if (word.find('.') != std::string::npos) mine.insert(word);
  std::string agent = trapField(line, "agent");
  if (mine.empty()) EXPECT_EQ(agent, "127.0.0.1");
  else EXPECT_TRUE(mine.count(agent)) << agent << " is not one of " << addresses.output;
}

struct LetterCase {
  friend void PrintTo(const LetterCase& type, std::ostream* out) { *out << "-m" << type.letter << type.value; }
  const char* letter;
  const char* value;
  const char* logged;  // snmptrapd's text of the binding
};

class EachTypeLetter : public AlertcastToSnmptrapd, public testing::WithParamInterface<LetterCase> {};

TEST_P(EachTypeLetter, ArrivesAsThatType) {
  const LetterCase& type = GetParam();
  std::string line = send({"-o1.3.6.1.4.1.27182.1", std::string("-m") + type.letter + type.value,
                           "-o1.3.6.1.4.1.27182.2", "-mi1"});
  EXPECT_EQ(trapField(line, "bindings"),
            std::string(".1.3.6.1.4.1.27182.1 = ") + type.logged + "|.1.3.6.1.4.1.27182.2 = INTEGER: 1");
}

INSTANTIATE_TEST_SUITE_P(
    Alertcast, EachTypeLetter,
    testing::Values(LetterCase{"o", "Orvane", "STRING: \"Orvane\""}, LetterCase{"i", "-12", "INTEGER: -12"},
                    LetterCase{"u", "4000000000", "INTEGER: -294967296"},
                    LetterCase{"d", "1.3.6.1.4.1.27182", "OID: .1.3.6.1.4.1.27182"},
                    LetterCase{"g", "4000000000", "Gauge32: 4000000000"}, LetterCase{"t", "360000", "360000"},
                    LetterCase{"c", "14", "Counter32: 14"}, LetterCase{"a", "10.0.0.1", "IpAddress: 10.0.0.1"},
                    // net-snmp receives NsapAddress (0x45 03 47 00 05) but has no text for it.
                    LetterCase{"p", "47.00.05", "Variable has bad type"},
                    LetterCase{"b", "128.0.0.1", "BITS: 80 00 00 01 0 31 "}, LetterCase{"n", "", "NULL"}),
    [](const testing::TestParamInfo<LetterCase>& info) { return std::string("letter_") + info.param.letter; });

}  // namespace
