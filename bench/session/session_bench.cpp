// Session-layer benchmarks against real peers on loopback:
// - a whole-MIB GetNext walk of net-snmp's agent through the session API,
//   and `snmpwalk -v1 -On` walking the same agent;
// - one Get round trip through a session against the agent simulator, and
//   the same request as a plain blocking sendto/recvfrom ping-pong.
// With --pairs=N it runs each pair of them in turn instead, N pairs, and
// prints the medians of the pairwise wall and CPU ratios.
#include "agent_walk.h"
#include "background_process.h"
#include "net_snmp_agent.h"
#include "paired_runs.h"
#include "simulated_agent.h"
#include "winsnmp.h"

#include "platform/messages.h"
#include "platform/waits.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

NetSnmpAgent& netSnmpAgent() {
  static std::unique_ptr<NetSnmpAgent> agent = [] {
    auto started = std::make_unique<NetSnmpAgent>();
    return started->start() ? std::move(started) : nullptr;
  }();
  return *agent;
}

SimulatedAgent& simulatedAgent() {
  static std::unique_ptr<SimulatedAgent> agent = [] {
    auto started = std::make_unique<SimulatedAgent>();
    return started->start() ? std::move(started) : nullptr;
  }();
  return *agent;
}

// A whole walk through the session API; false when it did not reach the end.
bool sessionWalk(size_t& bindings, std::string& failure) {
  WalkResult walk = walkAgent(netSnmpAgent().port(), "public", Notification::threadMessage);
  bindings = walk.bindings.size();
  failure = walk.failure;
  return failure.empty();
}

void snmpwalkOnce() {
  BackgroundProcess walk;
  walk.start({"snmpwalk", "-v1", "-c", "public", "-On", netSnmpAgent().address(), ".1"}, {"MIBS="});
  if (walk.waitForLine("no line ends this", std::chrono::seconds(60)).empty()) walk.stop();
}

void BM_SessionWalkOfSnmpd(benchmark::State& state) {
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  size_t bindings = 0;
  std::string failure;
  for (auto _ : state) {
    if (!sessionWalk(bindings, failure)) state.SkipWithError(failure.c_str());
  }
  state.counters["bindings"] = static_cast<double>(bindings);
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(bindings * state.iterations()), benchmark::Counter::kIsRate);
  SnmpCleanup();
}
BENCHMARK(BM_SessionWalkOfSnmpd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_SnmpwalkOfSnmpd(benchmark::State& state) {
  for (auto _ : state) snmpwalkOnce();
}
BENCHMARK(BM_SnmpwalkOfSnmpd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// One Get of sysName.0 answered by the simulator, notified by thread message.
class SessionGetter {
 public:
  SessionGetter() {
    SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
    PeekMessage(&message_, nullptr, 0, 0, PM_NOREMOVE);
    session_ = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kArrived);
    agent_ = SnmpStrToEntity(session_, "127.0.0.1");
    SnmpSetPort(agent_, simulatedAgent().port());
    smiOCTETS public_{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
    context_ = SnmpStrToContext(session_, &public_);
    SnmpStrToOid("1.3.6.1.2.1.1.5.0", &name_);
    smiVALUE null{};
    null.syntax = SNMP_SYNTAX_NULL;
    HSNMP_VBL list = SnmpCreateVbl(session_, &name_, &null);
    pdu_ = SnmpCreatePdu(session_, SNMP_PDU_GET, 0, 0, 0, list);
  }
  ~SessionGetter() {
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name_));
    SnmpCleanup();
  }

  // False when no answer came.
  bool once() {
    ++requestId_;
    SnmpSetPduData(pdu_, nullptr, &requestId_, nullptr, nullptr, nullptr);
    SnmpSendMsg(session_, nullptr, agent_, context_, pdu_);
    while (GetMessage(&message_, nullptr, 0, 0) > 0 && message_.message != kArrived) {
    }
    HSNMP_ENTITY from, to;
    HSNMP_CONTEXT community;
    HSNMP_PDU answer;
    if (!SnmpRecvMsg(session_, &from, &to, &community, &answer)) return false;
    HSNMP_VBL answerList = nullptr;
    SnmpGetPduData(answer, nullptr, nullptr, nullptr, nullptr, &answerList);
    SnmpFreeVbl(answerList);
    SnmpFreePdu(answer);
    SnmpFreeContext(community);
    SnmpFreeEntity(from);
    SnmpFreeEntity(to);
    return true;
  }

 private:
  static constexpr UINT kArrived = WM_USER + 1;
  MSG message_{};
  HSNMP_SESSION session_;
  HSNMP_ENTITY agent_;
  HSNMP_CONTEXT context_;
  smiOID name_{};
  HSNMP_PDU pdu_;
  smiINT32 requestId_ = 0;
};

void BM_SessionRoundTrip(benchmark::State& state) {
  SessionGetter getter;
  for (auto _ : state) {
    if (!getter.once()) {
      state.SkipWithError("no answer");
      break;
    }
  }
}
BENCHMARK(BM_SessionRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same Get, encoded once, as a blocking ping-pong on a plain socket.
class PlainGetter {
 public:
  PlainGetter() {
    handle_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in agent{};
    agent.sin_family = AF_INET;
    agent.sin_port = htons(simulatedAgent().port());
    agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(handle_, reinterpret_cast<sockaddr*>(&agent), sizeof agent);
  }
  ~PlainGetter() { close(handle_); }
  PlainGetter(const PlainGetter&) = delete;
  PlainGetter& operator=(const PlainGetter&) = delete;

  bool once() {
    static const unsigned char kGet[] = {0x30, 0x29, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',
                                         'i',  'c',  0xA0, 0x1C, 0x02, 0x04, 0x12, 0x34, 0x56, 0x78, 0x02,
                                         0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30, 0x0C, 0x06, 0x08,
                                         0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00, 0x05, 0x00};
    unsigned char answer[1500];
    send(handle_, kGet, sizeof kGet, 0);
    return recv(handle_, answer, sizeof answer, 0) > 0;
  }

 private:
  int handle_;
};

void BM_PlainUdpRoundTrip(benchmark::State& state) {
  PlainGetter getter;
  for (auto _ : state) {
    if (!getter.once()) {
      state.SkipWithError("no answer");
      break;
    }
  }
}
BENCHMARK(BM_PlainUdpRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The paired comparisons: walks, then batches of round trips (whose
// times in milliseconds are microseconds per round trip).
void runPairs(int pairs) {
  std::printf("ours / theirs, medians of pairwise ratios\n");
  {
    SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
    size_t bindings = 0;
    std::string failure;
    paired::compare("session walk / snmpwalk", pairs, [&] { sessionWalk(bindings, failure); }, snmpwalkOnce);
    SnmpCleanup();
  }
  constexpr int kBatch = 1000;
  SessionGetter session;
  PlainGetter plain;
  paired::compare("round trip / plain UDP", pairs, [&] { for (int i = 0; i < kBatch; ++i) session.once(); },
                  [&] { for (int i = 0; i < kBatch; ++i) plain.once(); });
  std::printf("(round trips in batches of %d: a batch's milliseconds are microseconds per round trip)\n", kBatch);
}

}  // namespace

int main(int argc, char** argv) {
  if (int pairs = paired::takePairsOption(argc, argv)) {
    runPairs(pairs);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
