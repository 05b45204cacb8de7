// Loopback benchmarks of the UDP transport.
//
// Throughput: datagrams per second from one CDatagramSocket to another
// (queue, writer hand-off, send, receive, reader hand-off, callback).
//
// Latency: the median round trip of a ping-pong against a plain blocking
// echo thread, once with a plain blocking client (sendto/recvfrom) and
// once with a CDatagramSocket client whose receive callback posts a thread
// message to the waiting caller, as the session layer does. The difference
// of the medians is what the engine adds.
#include "platform/messages.h"
#include "platform/waits.h"
#include "udpwire/datagram_socket.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kPayload = 64;
constexpr UINT kArrived = WM_USER + 1;

sockaddr_in loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A plain socket bound to a free loopback port.
struct PlainSocket {
  int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
  uint16_t port = 0;
  PlainSocket() {
    sockaddr_in address = loopback(0);
    bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~PlainSocket() { close(descriptor); }
};

// Echoes every datagram to its sender until it gets a one-byte "q".
class EchoThread {
 public:
  EchoThread() : thread_([this] { run(); }) {}
  ~EchoThread() {
    PlainSocket stopper;
    sockaddr_in to = loopback(socket_.port);
    sendto(stopper.descriptor, "q", 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    thread_.join();
  }
  uint16_t port() const { return socket_.port; }

 private:
  void run() {
    char buffer[2048];
    for (;;) {
      sockaddr_in from{};
      socklen_t length = sizeof from;
      ssize_t received = recvfrom(socket_.descriptor, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
      if (received == 1 && buffer[0] == 'q') return;
      if (received > 0) sendto(socket_.descriptor, buffer, received, 0, reinterpret_cast<sockaddr*>(&from), length);
    }
  }
  PlainSocket socket_;
  std::thread thread_;
};

void reportMedian(benchmark::State& state, std::vector<double>& microseconds) {
  if (microseconds.empty()) return;
  std::nth_element(microseconds.begin(), microseconds.begin() + microseconds.size() / 2, microseconds.end());
  state.counters["median_us"] = microseconds[microseconds.size() / 2];
}

double elapsedMicroseconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

void PlainBlockingRoundTrip(benchmark::State& state) {
  EchoThread echo;
  PlainSocket client;
  sockaddr_in to = loopback(echo.port());
  char payload[kPayload] = {}, reply[2048];
  std::vector<double> trips;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    sendto(client.descriptor, payload, sizeof payload, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    recv(client.descriptor, reply, sizeof reply, 0);
    trips.push_back(elapsedMicroseconds(start));
  }
  reportMedian(state, trips);
}
BENCHMARK(PlainBlockingRoundTrip)->UseRealTime();

// The receive callback of the engine client: tell the waiting thread.
struct Waiter {
  DWORD threadId;
  static int WINAPI onReceived(void* user, void*, unsigned long, sockaddr_in*) {
    PostThreadMessage(static_cast<Waiter*>(user)->threadId, kArrived, 0, 0);
    return 0;
  }
};

void EngineClientRoundTrip(benchmark::State& state) {
  EchoThread echo;
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  Waiter waiter{GetCurrentThreadId()};
  CDatagramSocket client(&waiter, nullptr, 0);
  client.OnReceived = Waiter::onReceived;
  if (client.CreateSocket(nullptr) != 0) {
    state.SkipWithError("no socket");
    return;
  }
  sockaddr_in to = loopback(echo.port());
  char payload[kPayload] = {};
  std::vector<double> trips;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    client.Write(kPayload, payload, &to);
    GetMessage(&message, nullptr, 0, 0);
    trips.push_back(elapsedMicroseconds(start));
  }
  reportMedian(state, trips);
}
BENCHMARK(EngineClientRoundTrip)->UseRealTime();

// Both ends through the engine: the far socket echoes from its callback.
struct Echoer {
  CDatagramSocket* socket;
  static int WINAPI onReceived(void* user, void* data, unsigned long length, sockaddr_in* sender) {
    static_cast<Echoer*>(user)->socket->Write(static_cast<int>(length), data, sender);
    return 0;
  }
};

int createOnFreePort(CDatagramSocket& socket) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    PlainSocket probe;
    int port = probe.port;
    close(probe.descriptor);
    probe.descriptor = -1;
    if (socket.CreateSocket(port) == 0) return port;
  }
  return 0;
}

void EngineBothEndsRoundTrip(benchmark::State& state) {
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  Waiter waiter{GetCurrentThreadId()};
  CDatagramSocket client(&waiter, nullptr, 0);
  client.OnReceived = Waiter::onReceived;
  Echoer echoer{nullptr};
  CDatagramSocket far(&echoer, nullptr, 0);
  echoer.socket = &far;
  far.OnReceived = Echoer::onReceived;
  int port = createOnFreePort(far);
  if (port == 0 || client.CreateSocket(nullptr) != 0) {
    state.SkipWithError("no socket");
    return;
  }
  sockaddr_in to = loopback(static_cast<uint16_t>(port));
  char payload[kPayload] = {};
  std::vector<double> trips;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    client.Write(kPayload, payload, &to);
    GetMessage(&message, nullptr, 0, 0);
    trips.push_back(elapsedMicroseconds(start));
  }
  reportMedian(state, trips);
}
BENCHMARK(EngineBothEndsRoundTrip)->UseRealTime();

// Datagrams per second from one engine socket to another, a window of
// datagrams at a time so the receive buffer never overflows.
struct Counter {
  std::atomic<int> received{0};
  HANDLE done = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  int target = 0;
  static int WINAPI onReceived(void* user, void*, unsigned long, sockaddr_in*) {
    auto* counter = static_cast<Counter*>(user);
    if (counter->received.fetch_add(1) + 1 == counter->target) SetEvent(counter->done);
    return 0;
  }
};

void SocketPairThroughput(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  Counter counter;
  CDatagramSocket sender(nullptr, nullptr, 0), receiver(&counter, nullptr, 0);
  receiver.OnReceived = Counter::onReceived;
  int port = createOnFreePort(receiver);
  if (port == 0 || sender.CreateSocket(nullptr) != 0) {
    state.SkipWithError("no socket");
    return;
  }
  sockaddr_in to = loopback(static_cast<uint16_t>(port));
  char payload[kPayload] = {};
  int64_t datagrams = 0;
  for (auto _ : state) {
    counter.received = 0;
    counter.target = window;
    for (int i = 0; i < window; ++i) sender.Write(kPayload, payload, &to);
    if (WaitForSingleObject(counter.done, 5000) != WAIT_OBJECT_0) {
      state.SkipWithError("datagrams lost");
      break;
    }
    datagrams += window;
  }
  state.SetItemsProcessed(datagrams);
  CloseHandle(counter.done);
}
BENCHMARK(SocketPairThroughput)->Arg(64)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
