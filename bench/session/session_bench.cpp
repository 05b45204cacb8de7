// Session-layer benchmarks against real peers on loopback:
// - a whole-MIB GetNext walk of net-snmp's agent through the session API,
//   and `snmpwalk -v1 -On` walking the same agent;
// - one Get round trip through a session against the agent simulator, and
//   the same request as a plain blocking sendto/recvfrom ping-pong.
#include "agent_walk.h"
#include "background_process.h"
#include "net_snmp_agent.h"
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

void BM_SessionWalkOfSnmpd(benchmark::State& state) {
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  size_t bindings = 0;
  for (auto _ : state) {
    WalkResult walk = walkAgent(netSnmpAgent().port(), "public", Notification::threadMessage);
    if (!walk.failure.empty()) state.SkipWithError(walk.failure.c_str());
    bindings = walk.bindings.size();
  }
  state.counters["bindings"] = static_cast<double>(bindings);
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(bindings * state.iterations()), benchmark::Counter::kIsRate);
  SnmpCleanup();
}
BENCHMARK(BM_SessionWalkOfSnmpd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_SnmpwalkOfSnmpd(benchmark::State& state) {
  for (auto _ : state) {
    BackgroundProcess walk;
    walk.start({"snmpwalk", "-v1", "-c", "public", "-On", netSnmpAgent().address(), ".1"}, {"MIBS="});
    if (walk.waitForLine("no line ends this", std::chrono::seconds(60)).empty()) walk.stop();
  }
}
BENCHMARK(BM_SnmpwalkOfSnmpd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// One Get of sysName.0 answered by the simulator, notified by thread message.
void BM_SessionRoundTrip(benchmark::State& state) {
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  constexpr UINT kArrived = WM_USER + 1;
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kArrived);
  HSNMP_ENTITY agent = SnmpStrToEntity(session, "127.0.0.1");
  SnmpSetPort(agent, simulatedAgent().port());
  smiOCTETS public_{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
  HSNMP_CONTEXT context = SnmpStrToContext(session, &public_);
  smiOID name{};
  SnmpStrToOid("1.3.6.1.2.1.1.5.0", &name);
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  HSNMP_VBL list = SnmpCreateVbl(session, &name, &null);
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, list);
  smiINT32 requestId = 0;
  for (auto _ : state) {
    ++requestId;
    SnmpSetPduData(pdu, nullptr, &requestId, nullptr, nullptr, nullptr);
    SnmpSendMsg(session, nullptr, agent, context, pdu);
    while (GetMessage(&message, nullptr, 0, 0) > 0 && message.message != kArrived) {
    }
    HSNMP_ENTITY from, to;
    HSNMP_CONTEXT community;
    HSNMP_PDU answer;
    if (!SnmpRecvMsg(session, &from, &to, &community, &answer)) {
      state.SkipWithError("no answer");
      break;
    }
    HSNMP_VBL answerList = nullptr;
    SnmpGetPduData(answer, nullptr, nullptr, nullptr, nullptr, &answerList);
    SnmpFreeVbl(answerList);
    SnmpFreePdu(answer);
    SnmpFreeContext(community);
    SnmpFreeEntity(from);
    SnmpFreeEntity(to);
  }
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
  SnmpCleanup();
}
BENCHMARK(BM_SessionRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same Get, encoded once, as a blocking ping-pong on a plain socket.
void BM_PlainUdpRoundTrip(benchmark::State& state) {
  static const unsigned char kGet[] = {0x30, 0x29, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',
                                       'i',  'c',  0xA0, 0x1C, 0x02, 0x04, 0x12, 0x34, 0x56, 0x78, 0x02,
                                       0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30, 0x0C, 0x06, 0x08,
                                       0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00, 0x05, 0x00};
  int handle = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in agent{};
  agent.sin_family = AF_INET;
  agent.sin_port = htons(simulatedAgent().port());
  agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(handle, reinterpret_cast<sockaddr*>(&agent), sizeof agent);
  unsigned char answer[1500];
  for (auto _ : state) {
    send(handle, kGet, sizeof kGet, 0);
    if (recv(handle, answer, sizeof answer, 0) <= 0) {
      state.SkipWithError("no answer");
      break;
    }
  }
  close(handle);
}
BENCHMARK(BM_PlainUdpRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
