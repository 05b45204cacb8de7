// Trap reception benchmarks through notifyd on loopback:
// - traps per second from a sender to a registered session, with at most
//   a window of traps in flight, so the benchmark measures the road and
//   not how many datagrams a full socket drops;
// - the latency of one trap, from its datagram being sent to SnmpRecvMsg
//   handing it out, with the session told by thread message.
#include "background_process.h"
#include "trap_server.h"
#include "winsnmp.h"

#include "platform/messages.h"
#include "platform/waits.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr UINT kTrapArrived = WM_USER + 1;

// Null when notifyd did not start.
TrapServer* trapServer() {
  static std::unique_ptr<TrapServer> server = [] {
    auto started = std::make_unique<TrapServer>();
    return started->start() ? std::move(started) : nullptr;
  }();
  return server.get();
}

// A whole SNMPv1 trap: enterprise 1.3.6.1.4.1.27182, agent 10.0.0.1,
// enterpriseSpecific 5, time stamp 1234, one INTEGER binding.
std::string trapDatagram() {
  const unsigned char octets[] = {0x30, 0x39, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',
                                  'c',  0xA4, 0x2C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x81, 0xD4,
                                  0x2E, 0x40, 0x04, 0x0A, 0x00, 0x00, 0x01, 0x02, 0x01, 0x06, 0x02, 0x01,
                                  0x05, 0x43, 0x02, 0x04, 0xD2, 0x30, 0x10, 0x30, 0x0E, 0x06, 0x09, 0x2B,
                                  0x06, 0x01, 0x04, 0x01, 0x81, 0xD4, 0x2E, 0x01, 0x02, 0x01, 0x2A};
  return std::string(reinterpret_cast<const char*>(octets), sizeof octets);
}

// Takes and frees every notification waiting; how many there were.
int takeAll(HSNMP_SESSION session) {
  int taken = 0;
  HSNMP_ENTITY source, destination;
  HSNMP_CONTEXT context;
  HSNMP_PDU pdu;
  while (SnmpRecvMsg(session, &source, &destination, &context, &pdu)) {
    HSNMP_VBL list = nullptr;
    SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &list);
    SnmpFreeVbl(list);
    SnmpFreePdu(pdu);
    SnmpFreeContext(context);
    SnmpFreeEntity(source);
    SnmpFreeEntity(destination);
    ++taken;
  }
  return taken;
}

// A started library with one session registered, told by thread message.
class RegisteredSession {
 public:
  RegisteredSession() {
    if (!trapServer()) return;
    MSG message;
    PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
    SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
    session = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kTrapArrived);
    registered = SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON) == SNMPAPI_SUCCESS;
  }
  ~RegisteredSession() { SnmpCleanup(); }

  // Dispatches (the catcher's records are sent to this thread) until a
  // notification is announced; then takes what waits.
  int waitAndTake() {
    MSG message;
    while (GetMessage(&message, nullptr, 0, 0) > 0) {
      if (!message.hwnd && message.message == kTrapArrived) return takeAll(session);
      DispatchMessage(&message);
    }
    return 0;
  }

  HSNMP_SESSION session = nullptr;
  bool registered = false;
};

void BM_TrapsPerSecondThroughNotifyd(benchmark::State& state) {
  const int inFlight = static_cast<int>(state.range(0));
  RegisteredSession receiver;
  if (!receiver.registered) {
    state.SkipWithError("no trap server");
    return;
  }
  const std::string datagram = trapDatagram();
  int64_t delivered = 0;
  for (auto _ : state) {
    int sent = 0, arrived = 0;
    constexpr int kBatch = 1000;
    while (arrived < kBatch) {
      while (sent < kBatch && sent - arrived < inFlight) {
        sendDatagram(trapServer()->port(), datagram);
        ++sent;
      }
      arrived += receiver.waitAndTake();
    }
    delivered += arrived;
  }
  state.counters["traps/s"] = benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TrapsPerSecondThroughNotifyd)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TrapLatencyToSnmpRecvMsg(benchmark::State& state) {
  RegisteredSession receiver;
  if (!receiver.registered) {
    state.SkipWithError("no trap server");
    return;
  }
  const std::string datagram = trapDatagram();
  for (auto _ : state) {
    sendDatagram(trapServer()->port(), datagram);
    receiver.waitAndTake();
  }
}
BENCHMARK(BM_TrapLatencyToSnmpRecvMsg)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
