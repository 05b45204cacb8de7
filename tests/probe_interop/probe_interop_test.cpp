// The console probe against net-snmp's agent and snmpwalk: a whole walk
// that must equal snmpwalk's, walks of faulty agents that must too, the
// system group, a Set, a silent port and bad input.
#include "background_process.h"
#include "crafted_responder.h"
#include "net_snmp_agent.h"
#include "peer_walk.h"
#include "probe_output.h"
#include "required_peer.h"
#include "simulated_agent.h"
#include "winsnmp.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

ProgramRun probe(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), ORVANE_AGENTPROBE_PATH);
  return runProgram(arguments, 60s);
}

class ProbeAgainstNetSnmp : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(agent.start()) << "snmpd did not start"; }
  NetSnmpAgent agent;
};

// Octet strings whose only zero byte is the last are printed without it.
bool sameValue(const simagent::Value& mine, simagent::Value peer) {
  if (peer.syntax == 0x04 && !peer.octets.empty() && peer.octets.back() == '\0' &&
      peer.octets.find('\0') == peer.octets.size() - 1) {
    peer.octets.pop_back();
  }
  return mine == peer;
}

TEST_F(ProbeAgainstNetSnmp, AWholeWalkPrintsWhatSnmpwalkPrints) {
  ProgramRun run = probe({"-cpublic", "-f", "-s1", "-o", "-t", agent.address()});
  ASSERT_EQ(run.exitCode, 1);
  ASSERT_TRUE(run.output.ends_with("\n\nFinished.\n")) << run.output.substr(run.output.size() - 200);
  std::vector<simagent::VarBind> mine = readProbeLines(run.output);
  PeerWalk theirs = snmpwalk(agent.port(), {"-Oe"});
  ASSERT_GT(theirs.names.size(), 100u);
  ASSERT_EQ(mine.size(), theirs.names.size());
  size_t compared = 0;
  for (size_t i = 0; i < mine.size(); ++i) {
    std::string name = simagent::oidToText(theirs.names[i]);
    ASSERT_EQ(simagent::oidToText(mine[i].name), name) << "line " << i;
    const simagent::Value* peer = theirs.values.get(theirs.names[i]);
    if (!peer) continue;  // a value snmpwalk prints in a form of its own (Opaque floats)
    EXPECT_EQ(mine[i].value.syntax, peer->syntax) << name;
    if (!changesOverTime({mine[i].name, *peer})) {
      EXPECT_TRUE(sameValue(mine[i].value, *peer)) << name;
      ++compared;
    }
  }
  EXPECT_GT(compared, mine.size() / 2);
}

// Over SNMPv2c, with GetNext and with GetBulk, the probe prints what
// net-snmp's walkers print, the 64-bit counters included.
struct V2cWalk {
  std::vector<std::string> probeOptions;
  std::string peer;
  std::vector<std::string> peerOptions;
};

void PrintTo(const V2cWalk& walk, std::ostream* out) { *out << walk.peer << " against " << walk.probeOptions[0]; }

class ProbeV2cAgainstNetSnmp : public ProbeAgainstNetSnmp, public testing::WithParamInterface<V2cWalk> {};

TEST_P(ProbeV2cAgainstNetSnmp, AWholeWalkPrintsWhatTheNetSnmpWalkerPrints) {
  std::vector<std::string> arguments = GetParam().probeOptions;
  arguments.insert(arguments.end(), {"-cpublic", "-f", "-s1", "-o", "-t", agent.address()});
  ProgramRun run = probe(arguments);
  ASSERT_EQ(run.exitCode, 1);
  ASSERT_TRUE(run.output.ends_with("\n\nFinished.\n")) << run.output.substr(run.output.size() - 200);
  std::vector<simagent::VarBind> mine = readProbeLines(run.output);
  PeerWalk theirs = peerWalk(GetParam().peer, agent.port(), GetParam().peerOptions);
  ASSERT_GT(theirs.names.size(), 100u);
  ASSERT_EQ(mine.size(), theirs.names.size());
  size_t compared = 0, counters64 = 0;
  for (size_t i = 0; i < mine.size(); ++i) {
    std::string name = simagent::oidToText(theirs.names[i]);
    ASSERT_EQ(simagent::oidToText(mine[i].name), name) << "line " << i;
    const simagent::Value* peer = theirs.values.get(theirs.names[i]);
    if (!peer) continue;
    EXPECT_EQ(mine[i].value.syntax, peer->syntax) << name;
    if (peer->syntax == SNMP_SYNTAX_CNTR64) ++counters64;
    if (!changesOverTime({mine[i].name, *peer})) {
      EXPECT_TRUE(sameValue(mine[i].value, *peer)) << name;
      ++compared;
    }
  }
  EXPECT_GT(compared, mine.size() / 2);
  EXPECT_GT(counters64, 10u) << "the 64-bit counters are missing";
}

INSTANTIATE_TEST_SUITE_P(
    Walks, ProbeV2cAgainstNetSnmp,
    testing::Values(V2cWalk{{"-2"}, "snmpwalk", {"-v2c", "-Oe"}},
                    V2cWalk{{"-g10"}, "snmpbulkwalk", {"-v2c", "-Oe", "-Cr10"}}),
    [](const testing::TestParamInfo<V2cWalk>& info) { return info.index == 0 ? "GetNext" : "GetBulk"; });

TEST_F(ProbeAgainstNetSnmp, InfoPrintsTheSystemGroup) {
  ProgramRun run = probe({"-cpublic", "-i", "-o", agent.address()});
  std::vector<simagent::VarBind> lines = readProbeLines(run.output);
  ASSERT_GE(lines.size(), 7u) << run.output;
  EXPECT_EQ(simagent::oidToText(lines.front().name), "1.3.6.1.2.1.1.1.0");
  for (const simagent::VarBind& line : lines) {
    EXPECT_EQ(simagent::oidToText(line.name).rfind("1.3.6.1.2.1.1.", 0), 0u);
  }
  EXPECT_TRUE(run.output.ends_with("\n\nFinished.\n"));
}

TEST_F(ProbeAgainstNetSnmp, ASetOfSysContactShowsInALaterWalk) {
  ProgramRun set = probe({"-cprivate", "-mothe probe was here", "-s1.3.6.1.2.1.1.4.0", agent.address()});
  EXPECT_NE(set.output.find("\nSet confirmation..."), std::string::npos) << set.output;
  EXPECT_EQ(set.output.find("Error returned"), std::string::npos) << set.output;
  ProgramRun walk = probe({"-cpublic", "-i", "-o", agent.address()});
  EXPECT_NE(walk.output.find("\n1.3.6.1.2.1.1.4.0 **** the probe was here"), std::string::npos) << walk.output;
}

// The probe and snmpwalk -v1 walk the same faulty agent: the probe prints
// what snmpwalk prints, names, order and values.
void expectTheWalkOfSnmpwalk(uint16_t port, std::vector<std::string> probeOptions,
                             const std::vector<std::string>& snmpwalkOptions) {
  probeOptions.insert(probeOptions.end(), {"-cpublic", "-f", "-s1", "-o", "-t", "127.0.0.1:" + std::to_string(port)});
  ProgramRun run = probe(probeOptions);
  ASSERT_TRUE(run.output.ends_with("\n\nFinished.\n")) << run.output;
  std::vector<simagent::VarBind> mine = readProbeLines(run.output);
  PeerWalk theirs = snmpwalk(port, snmpwalkOptions);
  ASSERT_EQ(theirs.names.size(), 13u);
  ASSERT_EQ(mine.size(), theirs.names.size()) << run.output;
  for (size_t i = 0; i < mine.size(); ++i) {
    EXPECT_EQ(simagent::oidToText(mine[i].name), simagent::oidToText(theirs.names[i]));
    const simagent::Value* peer = theirs.values.get(theirs.names[i]);
    ASSERT_TRUE(peer);
    EXPECT_TRUE(sameValue(mine[i].value, *peer)) << simagent::oidToText(theirs.names[i]);
  }
}

class FaultyAgents : public testing::Test {
 protected:
  void SetUp() override {
    if (runProgram({"snmpwalk", "-V"}, 10s).exitCode != 0) ORVANE_MISSING_PEER() << "snmpwalk is not installed";
    if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  }
  bool startAgent(std::vector<std::string> faults) {
    faults.insert(faults.end(), {"--walk", ORVANE_PROBE_FIXTURES "/mixed_agent.walk"});
    return agent.start(faults);
  }
  SimulatedAgent agent;
};

TEST_F(FaultyAgents, DuplicatedAnswers) {
  ASSERT_TRUE(startAgent({"--duplicate"}));
  expectTheWalkOfSnmpwalk(agent.port(), {}, {});
}

TEST_F(FaultyAgents, AnswersLaterThanTheRetransmission) {
  ASSERT_TRUE(startAgent({"--delay", "700"}));
  expectTheWalkOfSnmpwalk(agent.port(), {"-u500", "-r2"}, {"-t", "0.5", "-r", "2"});
}

TEST_F(FaultyAgents, DecoysBeforeEachAnswer) {
  ASSERT_TRUE(startAgent({}));
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"wrong-id,garbage,truncated,v2c,other-port"}));
  expectTheWalkOfSnmpwalk(responder.port(), {}, {});
}

TEST_F(FaultyAgents, TheMibEndingWithEndOfMibView) {
  ASSERT_TRUE(startAgent({}));
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"", true, true}));
  expectTheWalkOfSnmpwalk(responder.port(), {}, {});
}

// snmpwalk takes answers from any port; the probe takes only the agent's,
// since an answer from elsewhere may be another agent's or another run's.
TEST_F(FaultyAgents, AnswersFromAnotherPortAreNotTakenForTheAgents) {
  ASSERT_TRUE(startAgent({"--reply-from-other-port"}));
  ProgramRun run = probe({"-cpublic", "-f", "-o", "-r1", "-u300", "127.0.0.1:" + std::to_string(agent.port())});
  EXPECT_TRUE(readProbeLines(run.output).empty()) << run.output;
  EXPECT_TRUE(run.output.ends_with("\nRequest timed out.\n2 answers were ignored because they did not answer the "
                                   "request in flight (-p shows why).\n"))
      << run.output;
  EXPECT_EQ(snmpwalk(agent.port()).names.size(), 13u);
}

TEST(ProbeAgainstSilence, ASilentPortTimesOutWithExitCodeOne) {
  ProgramRun run = probe({"-cpublic", "-r1", "-u300", "127.0.0.1:" + std::to_string(freeLoopbackPort())});
  EXPECT_TRUE(run.output.ends_with("\nRequest timed out.\n")) << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(ProbeCommandLine, BadInputPrintsTheExactUsageText) {
  const std::string usage =
      "\n"
      "\nUsage: agentprobe [-v] [-c(community)] [-r] [-u] [-f] [-b] [-i] [-o]"
      "\n                [-a] [-s(start OID)] [-e(end OID)] [-m(type)(value)]"
      "\n                [-l] [-t] [-p] [-d(interval)] ip.ip.ip.ip"
      "\n"
      "\nOptions (No space between switch and parameter):"
      "\n"
      "\n   -v              Display WinSNMP module version."
      "\n   -c community    Community [default = vulpes]."
      "\n   -r              Number of retransmits [default = 1]."
      "\n   -u              Timeout per retransmit in miliseconds [default = 5000]."
      "\n   -f              Browse whole MIB tree."
      "\n   -b              Browse subtrees (-s must be g_specified)."
      "\n   -i              Browse system info."
      "\n   -o              Don't resolve object ID names."
      "\n   -a              Resolve remote SNMP agent IP address."
      "\n   -s start-Oid    Start OID [default = 1.3.6.1.2.1.1.3 (sysUpTime)]."
      "\n   -e end-Oid      End OID [default = 1.3.6.1.2.1.1.4 (sysContact)]."
      "\n   -m type value   Set value (-s must be g_specified)."
      "\n                   Types: o octets, i integer, d oid, u unsigned integer"
      "\n                          g gauge, t timeticks, c counter, a IP address, "
      "\n                          p NSAP address, b bits, n null."
      "\n   -l              Print line numbers."
      "\n   -t              Print value types."
      "\n   -p              Print parameters."
      "\n   -d interval-ms  Ping until interrupted [default interval-ms = 1000 ms]."
      "\n"
      "\nExamples: \n"
      "\nPing: agentprobe ip.ip.ip.ip"
      "\nPing: agentprobe -d ip.ip.ip.ip"
      "\nInfo: agentprobe -i -t ip.ip.ip.ip"
      "\nWalk: agentprobe -f -t ip.ip.ip.ip"
      "\nWalk: agentprobe -f -s1.3.6.1 ip.ip.ip.ip"
      "\nWalk: agentprobe -b -s1.3.6.1.2.1.1.1 ip.ip.ip.ip"
      "\nWalk: agentprobe -s1.3.6.1 -e1.3.6.1.2.1.2 ip.ip.ip.ip"
      "\nSet:  agentprobe -mo\"Contact person name\" -s1.3.6.1.2.1.1.4.0 ip.ip.ip.ip"
      "\nSet:  agentprobe -mi12 -s1.3.6.1.2.1.1.7.0 ip.ip.ip.ip"
      "\nSet:  agentprobe -md1.3.6.1.4.1.27182 -s1.3.6.1.2.1.1.2.0 ip.ip.ip.ip"
      "\nPerformance: agentprobe -d0 -l ip.ip.ip.ip"
      "\n"
      "\nUse 'agentprobe > file' or 'agentprobe | more' when output is larger than screen."
      "\n";
  for (const char* bad : {"10.1.1.300", "-q"}) {
    ProgramRun run = probe({bad});
    EXPECT_EQ(run.exitCode, 0);
    size_t start = run.output.find(usage);
    EXPECT_NE(start, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Usage"), start + 2);  // right after the banner
  }
}

}  // namespace
