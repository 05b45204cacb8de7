#include "../src/socket_engine.h"
#include "socket_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <unistd.h>

namespace {

using namespace udpwire_test;

// A plain socket outside the engine, to send what CDatagramSocket never
// would.
struct PlainSocket {
  int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
  ~PlainSocket() { close(descriptor); }
  void sendTo(int port, const void* data, size_t length) {
    sockaddr_in to = loopback(port);
    ASSERT_EQ(sendto(descriptor, data, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(length));
  }
};

SOCKET engineSocketOf(CDatagramSocket& owner) {
  std::vector<udpwire::CSocketEngine::Served> served;
  udpwire::CSocketEngine::existing()->collectServed(served);
  for (const auto& entry : served)
    if (entry.entry->owner == &owner) return entry.entry->socket;
  return INVALID_SOCKET;
}

TEST(SocketEngine, ServesMoreThanSixtyFourSockets) {
  constexpr int kSockets = 80;
  Inbox centralInbox;
  CDatagramSocket central(&centralInbox, nullptr, 0);
  centralInbox.attach(central);
  int centralPort = createOnFreePort(central);
  ASSERT_NE(centralPort, 0);

  std::vector<std::unique_ptr<Inbox>> inboxes;
  std::vector<std::unique_ptr<CDatagramSocket>> sockets;
  std::set<int> ports;
  for (int i = 0; i < kSockets; ++i) {
    inboxes.push_back(std::make_unique<Inbox>());
    sockets.push_back(std::make_unique<CDatagramSocket>(inboxes.back().get(), nullptr, 0));
    inboxes.back()->attach(*sockets.back());
    int port = createOnFreePort(*sockets.back());
    ASSERT_NE(port, 0);
    ports.insert(port);
  }
  for (auto& socket : sockets) ASSERT_EQ(socket->Write(2, const_cast<char*>("up"), "127.0.0.1", centralPort), 0);
  ASSERT_TRUE(centralInbox.waitForReceived(kSockets));
  std::set<int> senders;
  for (const auto& datagram : centralInbox.received) senders.insert(ntohs(datagram.sender.sin_port));
  EXPECT_EQ(senders, ports);

  for (int port : ports) ASSERT_EQ(central.Write(4, const_cast<char*>("down"), "127.0.0.1", port), 0);
  for (auto& inbox : inboxes) ASSERT_TRUE(inbox->waitForReceived(1));
}

TEST(SocketEngine, ManyQueuedDatagramsArriveInOrder) {
  constexpr int kDatagrams = 600;
  constexpr int kInFlight = 50;  // stays well inside the receive buffer
  Inbox sender, receiver;
  CDatagramSocket a(&sender, nullptr, 0), b(&receiver, nullptr, 0);
  sender.attach(a);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  ASSERT_EQ(a.CreateSocket(nullptr), 0);
  for (int next = 0; next < kDatagrams;) {
    for (int i = 0; i < kInFlight; ++i, ++next) {
      std::string text = std::to_string(next);
      ASSERT_EQ(a.Write(static_cast<int>(text.size()), text.data(), "127.0.0.1", portB), 0);
    }
    ASSERT_TRUE(receiver.waitForReceived(static_cast<size_t>(next)));
  }
  std::lock_guard guard(receiver.lock);
  for (int i = 0; i < kDatagrams; ++i) ASSERT_EQ(receiver.received[i].data, std::to_string(i));
}

TEST(SocketEngine, EmptyDatagramDoesNotStallTheOnesBehindIt) {
  Inbox receiver;
  CDatagramSocket b(&receiver, nullptr, 0);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  PlainSocket plain;
  plain.sendTo(portB, "", 0);
  plain.sendTo(portB, "after", 5);
  ASSERT_TRUE(receiver.waitForReceived(1));
  EXPECT_EQ(receiver.received[0].data, "after");
  EXPECT_EQ(receiver.receiveErrors, 0);
}

// The reader takes each datagram whole in one receive, however long.
TEST(SocketEngine, TheLongestDatagramArrivesWhole) {
  Inbox receiver;
  CDatagramSocket b(&receiver, nullptr, 0);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  PlainSocket plain;
  std::string longest(65507, 'x');  // the most an IPv4 datagram carries
  longest.front() = 'a';
  longest.back() = 'z';
  plain.sendTo(portB, longest.data(), longest.size());
  plain.sendTo(portB, "short", 5);
  ASSERT_TRUE(receiver.waitForReceived(2));
  EXPECT_EQ(receiver.received[0].data, longest);
  EXPECT_EQ(receiver.received[1].data, "short");
  EXPECT_EQ(receiver.receiveErrors, 0);
}

TEST(SocketEngine, DatagramLongerThanAnnouncedIsReportedNotOverrun) {
  Inbox receiver;
  CDatagramSocket b(&receiver, nullptr, 0);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  PlainSocket plain;
  udpwire::CSocketEngine* engine = udpwire::CSocketEngine::existing();
  {
    // Holding the engine's lock keeps the reader away while this thread
    // plays the reader that was told too small an amount.
    platform::CriticalSectionGuard guard(engine->lock());
    std::string longer(100, 'L');
    plain.sendTo(portB, longer.data(), longer.size());
    WSAPOLLFD waiting{engineSocketOf(b), POLLIN, 0};
    ASSERT_EQ(WSAPoll(&waiting, 1, kPatience), 1);
    b.HandleRead(4);
  }
  EXPECT_EQ(receiver.receiveErrors, 1);
  EXPECT_EQ(receiver.receivedCount(), 0u);
  plain.sendTo(portB, "next", 4);
  ASSERT_TRUE(receiver.waitForReceived(1));
  EXPECT_EQ(receiver.received[0].data, "next");
}

struct DeletionWatch {
  std::atomic<bool> deleted{false};
  std::atomic<int> callbacksAfterDeletion{0};
  std::atomic<int> callbacks{0};
  static int WINAPI onReceived(void* user, void*, unsigned long, sockaddr_in*) {
    auto* watch = static_cast<DeletionWatch*>(user);
    watch->callbacks += 1;
    if (watch->deleted) watch->callbacksAfterDeletion += 1;
    return 0;
  }
};

TEST(SocketEngine, DeletingTheSocketStopsItsCallbacks) {
  DeletionWatch watch;
  auto* b = new CDatagramSocket(&watch, nullptr, 0);
  b->OnReceived = DeletionWatch::onReceived;
  int portB = createOnFreePort(*b);
  Inbox senderInbox, witnessInbox;
  CDatagramSocket a(&senderInbox, nullptr, 0), witness(&witnessInbox, nullptr, 0);
  witnessInbox.attach(witness);
  int witnessPort = createOnFreePort(witness);
  ASSERT_EQ(a.CreateSocket(nullptr), 0);
  for (int i = 0; i < 200; ++i) a.Write(4, const_cast<char*>("busy"), "127.0.0.1", portB);
  for (int i = 0; i < 30000 && watch.callbacks == 0; ++i) Sleep(1);
  delete b;  // while datagrams still arrive
  watch.deleted = true;
  for (int i = 0; i < 100; ++i) a.Write(4, const_cast<char*>("late"), "127.0.0.1", portB);
  // The writer sends in order, so once the witness has its datagram every
  // late one has gone out and the reader has had its chance to misfire.
  a.Write(4, const_cast<char*>("last"), "127.0.0.1", witnessPort);
  ASSERT_TRUE(witnessInbox.waitForReceived(1));
  Sleep(50);
  EXPECT_GT(watch.callbacks, 0);
  EXPECT_EQ(watch.callbacksAfterDeletion, 0);
}

TEST(SocketEngine, IdleEngineDoesNotWakeUp) {
  Inbox sender, receiver;
  CDatagramSocket a(&sender, nullptr, 0), b(&receiver, nullptr, 0);
  sender.attach(a);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  ASSERT_EQ(a.CreateSocket(nullptr), 0);
  ASSERT_EQ(a.Write(4, const_cast<char*>("ping"), "127.0.0.1", portB), 0);
  ASSERT_TRUE(receiver.waitForReceived(1));
  ASSERT_TRUE(sender.waitForSent(1));
  udpwire::CSocketEngine* engine = udpwire::CSocketEngine::existing();
  // Let the last wake-ups of the exchange settle before counting: no change
  // for a fifth of a second, which a busy machine's scheduler also allows.
  uint64_t reader = 0, writer = 0;
  for (int i = 0; i < 100; ++i) {
    reader = engine->readerWakeUps();
    writer = engine->writerWakeUps();
    Sleep(200);
    if (reader == engine->readerWakeUps() && writer == engine->writerWakeUps()) break;
  }
  Sleep(1000);
  EXPECT_EQ(engine->readerWakeUps(), reader);
  EXPECT_EQ(engine->writerWakeUps(), writer);
}

}  // namespace
