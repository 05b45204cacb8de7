// Whole runs of the probe against the agent simulator serving a small
// fixed set of objects, compared with the text they must print.
#include "background_process.h"
#include "crafted_responder.h"
#include "required_peer.h"
#include "simulated_agent.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

const std::string kBanner =
    "\nAGENTPROBE Snmp Ping Utility Version " ORVANE_VERSION "\nPart of the Orvane SNMP management suite.";

ProgramRun probe(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), ORVANE_AGENTPROBE_PATH);
  return runProgram(arguments, 30s);
}

std::string addressOf(uint16_t port) { return "127.0.0.1:" + std::to_string(port); }
std::string greetingFor(uint16_t port) {
  return "\n\nPinging " + addressOf(port) + " with SNMP protocol\nCommunity: public";
}

// What -f -l -s1.3.6.1.2.1.2 prints of the small agent after the greeting.
const std::string kInterfacesWalk =
    "\nStart OID: 1.3.6.1.2.1.2 [1.3.6.1.2.1.2]\n"
    "\n1: 1.3.6.1.2.1.2.1.0 **** 1"
    "\n2: 1.3.6.1.2.1.2.2.1.1.1 **** 1"
    "\n3: 1.3.6.1.2.1.2.2.1.2.1 **** lo"
    "\n4: 1.3.6.1.2.1.2.2.1.6.1 **** 00.1a.2b.3c.4d.5e (hex)"
    "\n5: 1.3.6.1.2.1.2.2.1.10.1 **** 4294967295"
    "\n6: 1.3.6.1.2.1.4.20.1.1.127.0.0.1 **** 127.0.0.1"
    "\n\nFinished.\n";
const std::vector<std::string> kInterfacesWalkOptions{"-cpublic", "-f", "-l", "-s1.3.6.1.2.1.2"};

ProgramRun walkInterfaces(uint16_t port, std::vector<std::string> extraOptions = {}) {
  std::vector<std::string> arguments = kInterfacesWalkOptions;
  arguments.insert(arguments.end(), extraOptions.begin(), extraOptions.end());
  arguments.push_back(addressOf(port));
  return probe(arguments);
}

class ProbeRuns : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(agent.start({"--walk", ORVANE_FIXTURES "/small_agent.walk"})); }
  std::string address() const { return addressOf(agent.port()); }
  std::string greeting() const { return greetingFor(agent.port()); }

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
  ProgramRun run = walkInterfaces(agent.port());
  EXPECT_EQ(run.output, kBanner + greeting() + kInterfacesWalk);
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

TEST_F(ProbeRuns, AFailedSetShowsTheAgentsErrorAndNoConfirmation) {
  ProgramRun run = probe({"-cpublic", "-mo\"x\"", "-s1.3.6.1.2.1.1.6.0", address()});
  EXPECT_TRUE(run.output.ends_with("\nStop OID:  1.3.6.1.2.1.1.6.0 [1.3.6.1.2.1.1.6.0]\n"
                                   "\nError returned by remote agent: no such name (2)"
                                   "\nVariable in error (index 1): 1.3.6.1.2.1.1.6.0\n"))
      << run.output;
  EXPECT_EQ(run.exitCode, 2);
  ProgramRun walk = probe({"-cpublic", "-s1.3.6.1.2.1.1.6", address()});
  EXPECT_NE(walk.output.find("\n1.3.6.1.2.1.1.6.0 **** rack 4\n"), std::string::npos) << walk.output;
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

// Into a pipe the output is buffered in blocks; what was printed before an
// interrupt must still come out.
TEST(ProbeInterrupted, AnInterruptedWalkHandsOverWhatItPrinted) {
  SimulatedAgent slow;
  ASSERT_TRUE(slow.start({"--walk", ORVANE_FIXTURES "/small_agent.walk", "--delay", "500"}, true));
  BackgroundProcess program;
  std::vector<std::string> arguments{ORVANE_AGENTPROBE_PATH, "-u5000"};
  arguments.insert(arguments.end(), kInterfacesWalkOptions.begin(), kInterfacesWalkOptions.end());
  arguments.push_back(addressOf(slow.port()));
  ASSERT_TRUE(program.start(arguments));
  // The third request follows the second answer's line.
  ASSERT_TRUE(slow.waitForRequests(3, 60s));
  std::string printed = program.stop(10s);
  EXPECT_NE(printed.find("\n1: 1.3.6.1.2.1.2.1.0 **** 1\n2: 1.3.6.1.2.1.2.2.1.1.1 **** 1"), std::string::npos)
      << printed;
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

// Answers that are not the answer to the request in flight: duplicates,
// late answers to retransmitted requests, answers with another request id,
// of another PDU type or from another port, and datagrams that cannot be
// read. The walk prints what it prints without them.
TEST(AnswerMatching, DuplicatedAndLateAnswersLeaveTheWalkAsItIs) {
  for (std::vector<std::string> faults : {std::vector<std::string>{"--duplicate"}, {"--delay", "700"}}) {
    SimulatedAgent agent;
    faults.insert(faults.end(), {"--walk", ORVANE_FIXTURES "/small_agent.walk"});
    ASSERT_TRUE(agent.start(faults));
    ProgramRun run = walkInterfaces(agent.port(), {"-u500", "-r2"});
    EXPECT_EQ(run.output, kBanner + greetingFor(agent.port()) + kInterfacesWalk) << faults[0];
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST(AnswerMatching, DecoysBeforeEachAnswerAreIgnored) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--walk", ORVANE_FIXTURES "/small_agent.walk"}));
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"wrong-id,not-response,other-port,garbage,truncated,v2c"}));
  ProgramRun run = walkInterfaces(responder.port());
  EXPECT_EQ(run.output, kBanner + greetingFor(responder.port()) + kInterfacesWalk);
}

TEST(AnswerMatching, AnswersFromAnotherPortAreNotTheAgents) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--reply-from-other-port"}));
  ProgramRun run = probe({"-cpublic", "-r0", "-u300", addressOf(agent.port())});
  EXPECT_TRUE(run.output.ends_with("\nRequest timed out."
                                   "\n1 answer was ignored because it did not answer the request in flight"
                                   " (-p shows why).\n"))
      << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(AnswerMatching, ATimeOutCountsWhatCameButCouldNotBeTaken) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"wrong-id,not-response,garbage,truncated,v2c", false}));
  ProgramRun run = probe({"-cpublic", "-r0", "-u1000", addressOf(responder.port())});
  EXPECT_TRUE(run.output.ends_with("\nStop OID:  1.3.6.1.2.1.1.4 [1.3.6.1.2.1.1.4]\n"
                                   "\nRequest timed out."
                                   "\n3 answers were received but could not be read."
                                   "\n2 answers were ignored because they did not answer the request in flight"
                                   " (-p shows why).\n"))
      << run.output;
  ProgramRun detailed = probe({"-cpublic", "-r0", "-u1000", "-p", addressOf(responder.port())});
  std::string from = "\nIgnored a message from " + addressOf(responder.port());
  EXPECT_NE(detailed.output.find(from + " (PDU type 0xA2, request id 65): it answers another request."),
            std::string::npos)
      << detailed.output;
  EXPECT_NE(detailed.output.find(from + " (PDU type 0xA0, request id 1): it is not a response."), std::string::npos);
  EXPECT_NE(detailed.output.find("\nDropped a datagram that is not a readable SNMPv1 message."), std::string::npos);
}

// How a walk ends: endOfMibView as at the end of the MIB, an error status
// with the agent's error and the variable it names.
TEST(WalkEnds, EndOfMibViewEndsTheWalk) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--walk", ORVANE_FIXTURES "/small_agent.walk"}));
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"", true, true}));
  ProgramRun run = walkInterfaces(responder.port());
  EXPECT_EQ(run.output, kBanner + greetingFor(responder.port()) + kInterfacesWalk);
}

TEST(WalkEnds, AnErrorStatusEndsTheWalkWithTheAgentsError) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--error-status", "5:1"}));
  ProgramRun run = probe({"-cpublic", "-f", "-s1.3.6.1.2.1.2", addressOf(agent.port())});
  EXPECT_TRUE(run.output.ends_with("\nStart OID: 1.3.6.1.2.1.2 [1.3.6.1.2.1.2]\n"
                                   "\nError returned by remote agent: generic error (5)"
                                   "\nVariable in error (index 1): 1.3.6.1.2.1.2\n"))
      << run.output;
  EXPECT_EQ(run.exitCode, 2);
}

// Command lines that are refused: a message, the usage text, nothing sent.
TEST(RefusedCommandLines, SayWhatIsWrongAndSendNothing) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  struct Refused {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::string notAnOid = "\" is neither a dotted OID nor a name the loaded MIB modules know.";
  for (const Refused& refused : std::vector<Refused>{
           {{"-sfoo"}, "\nOption -s: \"foo" + notAnOid},
           {{"-s1..3"}, "\nOption -s: \"1..3" + notAnOid},
           {{"-s1.3.6.1.2.1.1.-1"}, "\nOption -s: \"1.3.6.1.2.1.1.-1" + notAnOid},
           {{"-s1.3.6.1.2.1.1.4294967296"}, "\nOption -s: \"1.3.6.1.2.1.1.4294967296" + notAnOid},
           {{"-f", "-ebar"}, "\nOption -e: \"bar" + notAnOid},
           {{"-mi12"}, "\nOption -m needs the variable to set, given with -s."},
           {{"-ma10.0.0", "-s1.3.6.1.2.1.1.6.0"},
            "\nOption -m: \"10.0.0\" cannot be read as an IP address (four decimal numbers separated by dots)."},
           {{"-mdfoo", "-s1.3.6.1.2.1.1.2.0"}, "\nOption -m: \"foo\" cannot be read as an OID (dotted decimal numbers)."},
           {{"-mx12", "-s1.3.6.1.2.1.1.7.0"}, "\nOption -m: 'x' is not a type letter; use one of o i d u g t c a p b n."},
           {{"-u-100"}, "\nOption -u does not take a negative value: -100"},
           {{"-d-5"}, "\nOption -d does not take a negative value: -5"}}) {
    std::vector<std::string> arguments = refused.arguments;
    arguments.insert(arguments.begin(), "-cprivate");
    arguments.push_back(addressOf(agent.port()));
    ProgramRun run = probe(arguments);
    EXPECT_EQ(run.output.rfind(kBanner + refused.message + "\n\nUsage: agentprobe [-v]", 0), 0u) << run.output;
    EXPECT_EQ(run.exitCode, 0);
  }
  EXPECT_EQ(agent.stopAndCountRequests(), 0);
}

TEST(RefusedCommandLines, LargeNumbersAreCutToTheirLimits) {
  ProgramRun run = probe({"-u99999999999", "-r99999999999", "-p"});
  EXPECT_NE(run.output.find("\nRetransmits: 20\nTimeout (ms): 60000\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.exitCode, 0);
}

// Octets that are not printable text arrive as the hex form, so no agent
// can move the cursor or reprogram the terminal.
TEST(TerminalSafety, OnlyPrintableTextReachesTheTerminal) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--walk", ORVANE_FIXTURES "/awkward_values.walk"}));
  ProgramRun run = probe({"-cpublic", "-f", "-s1", addressOf(agent.port())});
  std::string everyOctet;
  for (int byte = 0; byte < 256; ++byte) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    everyOctet += (byte ? "." : "") + std::string(hex);
  }
  EXPECT_NE(run.output.find("\n1.3.6.1.2.1.1.1.0 **** Z\xc3\xbcrich"
                            "\n1.3.6.1.2.1.1.4.0 **** 41.0d.42 (hex)"
                            "\n1.3.6.1.2.1.1.5.0 **** ok\r\n"
                            "\n1.3.6.1.2.1.1.6.0 **** " + everyOctet + " (hex)"
                            "\n1.3.6.1.2.1.2.2.1.6.1 **** 00.1a.9b.3c.4d.5e (hex)"
                            "\n1.3.6.1.2.1.2.2.1.6.2 **** c2.9b.32.4a (hex)"
                            "\n\nFinished.\n"),
            std::string::npos)
      << run.output;
  std::string rest = run.output;
  rest.erase(rest.find("\xc3\xbc"), 2);
  rest.erase(rest.find("ok\r\n"), 4);
  for (unsigned char byte : rest) EXPECT_TRUE((byte >= 0x20 && byte < 0x7f) || byte == '\n') << int{byte};
}

}  // namespace
