// Whole runs of the probe against the agent simulator serving a small
// fixed set of objects, compared with the text they must print.
#include "background_process.h"
#include "simulated_agent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

const std::string kBanner =
    "\nAGENTPROBE Snmp Ping Utility Version " ORVANE_VERSION "\nPart of the Orvane SNMP management suite.";

ProgramRun probe(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), ORVANE_AGENTPROBE_PATH);
  return runProgram(arguments, 20s);
}

class ProbeRuns : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(agent.start({"--walk", ORVANE_FIXTURES "/small_agent.walk"})); }
  std::string address() const { return "127.0.0.1:" + std::to_string(agent.port()); }
  std::string greeting() const { return "\n\nPinging " + address() + " with SNMP protocol\nCommunity: public"; }

  SimulatedAgent agent;
};

TEST_F(ProbeRuns, APingPrintsSysUpTimeAndFinishes) {
  ProgramRun run = probe({"-cpublic", address()});
  EXPECT_EQ(run.output, kBanner + greeting() +
                            "\nStart OID: 1.3.6.1.2.1.1.3 [1.3.6.1.2.1.1.3]"
                            "\nStop OID:  1.3.6.1.2.1.1.4 [1.3.6.1.2.1.1.4]\n"
                            "\n1.3.6.1.2.1.1.3.0 **** 1 day 00h:00m:00s.00th"
                            "\n\nFinished.\n");
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(ProbeRuns, InfoPrintsTheSystemGroupWithTypes) {
  ProgramRun run = probe({"-cpublic", "-i", "-t", address()});
  EXPECT_EQ(run.output, kBanner + greeting() +
                            "\nStart OID: 1.3.6.1.2.1.1.1 [1.3.6.1.2.1.1.1]"
                            "\nStop OID:  1.3.6.1.2.1.2 [1.3.6.1.2.1.2]\n"
                            "\n1.3.6.1.2.1.1.1.0 **** (octets) Test agent"
                            "\n1.3.6.1.2.1.1.2.0 **** (oid) 1.3.6.1.4.1.27182"
                            "\n1.3.6.1.2.1.1.3.0 **** (timeticks) 1 day 00h:00m:00s.00th"
                            "\n1.3.6.1.2.1.1.4.0 **** (octets) nobody@example.org"
                            "\n1.3.6.1.2.1.1.5.0 **** (octets) probe-test"
                            "\n1.3.6.1.2.1.1.6.0 **** (octets) rack 4"
                            "\n1.3.6.1.2.1.1.7.0 **** (int,int32) 72"
                            "\n\nFinished.\n");
}

TEST_F(ProbeRuns, AWholeWalkNumbersItsLinesAndEndsWithTheAgentsData) {
  ProgramRun run = probe({"-cpublic", "-f", "-l", "-s1.3.6.1.2.1.2", address()});
  EXPECT_EQ(run.output, kBanner + greeting() +
                            "\nStart OID: 1.3.6.1.2.1.2 [1.3.6.1.2.1.2]\n"
                            "\n1: 1.3.6.1.2.1.2.1.0 **** 1"
                            "\n2: 1.3.6.1.2.1.2.2.1.1.1 **** 1"
                            "\n3: 1.3.6.1.2.1.2.2.1.2.1 **** lo"
                            "\n4: 1.3.6.1.2.1.2.2.1.6.1 **** 00.1a.2b.3c.4d.5e (hex)"
                            "\n5: 1.3.6.1.2.1.2.2.1.10.1 **** 4294967295"
                            "\n6: 1.3.6.1.2.1.4.20.1.1.127.0.0.1 **** 127.0.0.1"
                            "\n\nFinished.\n");
}

TEST_F(ProbeRuns, ASubtreeWalkStopsAfterItsParent) {
  ProgramRun run = probe({"-cpublic", "-b", "-s1.3.6.1.2.1.2.2.1.2", address()});
  EXPECT_NE(run.output.find("\n1.3.6.1.2.1.2.2.1.10.1 **** 4294967295\n\nFinished."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("127.0.0.1 **** 127.0.0.1"), std::string::npos);
}

TEST_F(ProbeRuns, AnEndBeforeTheStartDoesNothing) {
  ProgramRun run = probe({"-cpublic", "-s1.3.6.1.2.1.2", "-e1.3.6.1.2.1.1", address()});
  EXPECT_NE(run.output.find("\nEnd OID is less than start OID.\nNothing to do.\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(ProbeRuns, ASetIsConfirmedAndShowsTheNewValue) {
  ProgramRun run = probe({"-cprivate", "-mo\"moved to rack 5\"", "-s1.3.6.1.2.1.1.6.0", address()});
  EXPECT_NE(run.output.find("\n1.3.6.1.2.1.1.6.0 **** \"moved to rack 5\"\nSet confirmation..."
                            "\n1.3.6.1.2.1.1.6.0 **** \"moved to rack 5\"\n\nFinished."),
            std::string::npos)
      << run.output;
  ProgramRun integer = probe({"-cprivate", "-mi12", "-s1.3.6.1.2.1.1.7.0", address()});
  EXPECT_NE(integer.output.find("\n1.3.6.1.2.1.1.7.0 **** 12\nSet confirmation..."), std::string::npos)
      << integer.output;
}

TEST_F(ProbeRuns, AReadOnlySetIsReportedAsTheAgentsError) {
  ProgramRun run = probe({"-cpublic", "-mo\"x\"", "-s1.3.6.1.2.1.1.6.0", address()});
  EXPECT_NE(run.output.find("\nError returned by remote agent: no such name (2)"), std::string::npos) << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(ProbeRuns, PingUntilInterruptedRepeatsTheGet) {
  BackgroundProcess program;
  ASSERT_TRUE(program.start({ORVANE_AGENTPROBE_PATH, "-cpublic", "-d0", "-l", address()}));
  // Line 2 is whole once line 3 has begun, so three Gets went out.
  EXPECT_NE(program.waitForLine("2: 1.3.6.1.2.1.1.3.0", 60s), "");
  std::string printed = program.stop(10s);
  EXPECT_NE(printed.find("\n1: 1.3.6.1.2.1.1.3.0 **** 1 day 00h:00m:00s.00th (127.0.0.1)"), std::string::npos)
      << printed;
  EXPECT_NE(printed.find("\n2: 1.3.6.1.2.1.1.3.0"), std::string::npos) << printed;
}

TEST(ProbeFailures, ASilentAgentTimesOut) {
  SimulatedAgent silent;
  ASSERT_TRUE(silent.start({"--drop-every", "1"}));
  ProgramRun run = probe({"-cpublic", "-r0", "-u200", "127.0.0.1:" + std::to_string(silent.port())});
  EXPECT_TRUE(run.output.ends_with("\nStop OID:  1.3.6.1.2.1.1.4 [1.3.6.1.2.1.1.4]\n\nRequest timed out.\n"))
      << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(ProbeFailures, AnAgentThatDoesNotMoveOnEndsTheWalk) {
  SimulatedAgent stuck;
  ASSERT_TRUE(stuck.start({"--stuck-getnext", "--walk", ORVANE_FIXTURES "/small_agent.walk"}));
  ProgramRun run = probe({"-cpublic", "-f", "127.0.0.1:" + std::to_string(stuck.port())});
  EXPECT_NE(run.output.find("\nThe agent answered with an OID that does not follow the one asked for; walk stopped."),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(ProbeFailures, BadCommandLinesPrintTheUsageAndExitWithZero) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{}, {"10.0.0.256"}, {"host.example"}, {"-x", "10.0.0.1"}}) {
    ProgramRun run = probe(arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.rfind(kBanner + "\n\nUsage: agentprobe [-v]", 0), 0u) << run.output;
  }
  ProgramRun versionOnly = probe({"-v"});
  EXPECT_EQ(versionOnly.exitCode, 0);
  EXPECT_NE(versionOnly.output.find("\nTranslate mode: Untranslated V1"), std::string::npos);
}

}  // namespace
