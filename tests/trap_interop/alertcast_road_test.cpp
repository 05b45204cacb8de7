// alertcast to notifyd to a registered session: what the sender was given
// is what the session receives, its texts and exit codes, and a burst of
// traps from alertcast runs as fast as they go.
#include "background_process.h"
#include "received_traps.h"
#include "trap_server.h"

#include <gtest/gtest.h>

#include <iostream>
#include <set>

namespace {

using namespace std::chrono_literals;

const std::string kBanner =
    "\nALERTCAST Send SNMP Trap Utility, Version " ORVANE_VERSION "\nPart of the Orvane SNMP management suite.";
const std::string kSnmpTrapOid = "1.3.6.1.6.3.1.1.4.1.0";

class AlertcastToSession : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
    ASSERT_EQ(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS);
  }
  void TearDown() override { SnmpCleanup(); }

  std::string manager() const { return "127.0.0.1:" + std::to_string(server.port()); }
  ProgramRun alertcast(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ORVANE_ALERTCAST_PATH);
    return runProgram(arguments, 60s);
  }

  TrapServer server;
  HSNMP_SESSION session = nullptr;
};

TEST_F(AlertcastToSession, TheSessionReceivesWhatAlertcastWasGiven) {
  ProgramRun run = alertcast({manager(), "-g3", "-corvane", "-t2000", "-a10.1.2.3", "-o1.3.6.1.4.1.27182", "-mi12",
                              "-o1.3.6.1.4.1.27182.1", "-mc14", "-o1.3.6.1.4.1.27182.2", "-mo\"Orvane\"",
                              "-e1.3.6.1.4.1.27182"});
  EXPECT_EQ(run.output, kBanner + "\n\nPinging " + manager() + " with SNMP protocol\nCommunity: orvane\n");
  EXPECT_EQ(run.exitCode, 1);
  std::optional<ReceivedTrap> trap = waitForTrap(session);
  ASSERT_TRUE(trap);
  EXPECT_EQ(trap->source, "127.0.0.1");
  EXPECT_EQ(trap->community, "orvane");
  EXPECT_EQ(trap->bindings, (std::vector<std::pair<std::string, std::string>>{
                                {"1.3.6.1.2.1.1.3.0", "67:2000"},
                                {kSnmpTrapOid, "6:1.3.6.1.6.3.1.1.5.4"},
                                {"1.3.6.1.4.1.27182", "2:12"},
                                {"1.3.6.1.4.1.27182.1", "65:14"},
                                {"1.3.6.1.4.1.27182.2", "4:\"Orvane\""},
                                {"1.3.6.1.6.3.1.1.4.3.0", "6:1.3.6.1.4.1.27182"}}));
}

TEST_F(AlertcastToSession, PrintsTheParametersItWouldSend) {
  // Without a manager nothing is sent; an -o without its -m is no binding.
  ProgramRun run = alertcast({"-p", "-s5", "-t77", "-o1.3.6.1.2.1.1.5.0", "-moname", "-o1.3"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("\n\nCurrent parameters:\n"
                            "\nRemote agent IP address: "
                            "\nPrint WinSNMP module version: FALSE"
                            "\nRetransmits: 0"
                            "\nTimeout (ms): 0"
                            "\nRetransmit mode: ON"
                            "\nCommunity: vulpes"
                            "\nOid to string conversion: FALSE"
                            "\nBinding #1 OID: 1.3.6.1.2.1.1.5.0 [1.3.6.1.2.1.1.5.0], (octets) name"
                            "\nResolve SNMP agent IP address: FALSE"
                            "\nPrint value types: FALSE"
                            "\nPrint parameters: TRUE"
                            "\nGeneric trap: 6"
                            "\nSpecific trap: 5"
                            "\nTime stamp: 77\n"),
            std::string::npos)
      << run.output;
}

TEST_F(AlertcastToSession, BadInputPrintsTheUsageWithExitCodeZeroAndSendsNothing) {
  ProgramRun usage = alertcast({});
  EXPECT_EQ(usage.exitCode, 0);
  EXPECT_TRUE(usage.output.starts_with(kBanner + "\n\nUsage: alertcast [-v] [-c(community)] [-g(generic_type)]"));
  EXPECT_TRUE(usage.output.ends_with("\nExit code: 1 when the trap was sent, 0 otherwise.\n")) << usage.output;
  ProgramRun unknown = alertcast({"-q", manager()});
  EXPECT_EQ(unknown.output, usage.output);
  for (const char* bad : {"-ma10.0.0", "-mdfoo", "-mx12", "-mi99999999999", "-o1..2", "-g9"}) {
    ProgramRun refused = alertcast({manager(), bad});
    EXPECT_EQ(refused.exitCode, 0) << bad;
    EXPECT_EQ(refused.output.find("Pinging"), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("\nUsage: alertcast"), std::string::npos) << bad;
  }
  // The first trap to arrive is the one sent after all of those.
  ASSERT_EQ(alertcast({manager(), "-s42"}).exitCode, 1);
  std::optional<ReceivedTrap> trap = waitForTrap(session);
  ASSERT_TRUE(trap);
  EXPECT_EQ(trap->valueOf(kSnmpTrapOid), "6:0.0.0.0.42");
}

// 1,000 alertcast runs, several at a time; every trap is told apart by its
// specific type. notifyd must drop none of what reached it and hand each
// to the session.
TEST_F(AlertcastToSession, ABurstOfAThousandTrapsArrivesWhole) {
  constexpr int kTraps = 1000;
  BackgroundProcess burst;
  ASSERT_TRUE(burst.start({"sh", "-c",
                           "seq 1 " + std::to_string(kTraps) + " | xargs -P 16 -I{} " ORVANE_ALERTCAST_PATH " " +
                               manager() + " -s{} >/dev/null; echo burst sent"}));
  std::set<std::string> arrived;
  bool sent = false;
  auto start = std::chrono::steady_clock::now();
  pumpMessagesUntil(
      [&] {
        while (std::optional<ReceivedTrap> trap = waitForTrap(session, 0ms)) arrived.insert(trap->valueOf(kSnmpTrapOid));
        if (!sent) sent = !burst.waitForLine("burst sent", 0ms).empty();
        return arrived.size() == kTraps;
      },
      540s);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Stragglers of a finished burst come within moments.
  if (sent) pumpMessagesUntil([&] {
      while (std::optional<ReceivedTrap> trap = waitForTrap(session, 0ms)) arrived.insert(trap->valueOf(kSnmpTrapOid));
      return arrived.size() == kTraps;
    }, 5s);
  // Every alertcast of the burst ends before the test does.
  int exitCode = -1;
  burst.finish(120s, exitCode);
  EXPECT_EQ(exitCode, 0) << "the burst did not end by itself";
  std::cout << "burst: " << arrived.size() << " of " << kTraps << " traps arrived in " << seconds << " s\n";
  RecordProperty("arrived", static_cast<int>(arrived.size()));
  std::string log = server.stop();
  std::cout << log.substr(log.find("notifyd: stopped"));
  EXPECT_EQ(arrived.size(), static_cast<size_t>(kTraps));
  EXPECT_NE(log.find(" 0 dropped, " + std::to_string(arrived.size()) + " copies handed over"), std::string::npos) << log;
}

}  // namespace
