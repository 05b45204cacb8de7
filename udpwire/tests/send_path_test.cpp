// Sending at once on the writing thread, and queuing for the writer thread
// while a socket cannot take more. A socket's send buffer only fills when
// its datagrams wait in the kernel, which loopback never makes them do; so
// these tests run the test program again in a network namespace of its
// own whose loopback device drains at a slow, fixed rate.
#include "../src/socket_engine.h"
#include "background_process.h"
#include "required_peer.h"
#include "socket_test_support.h"
#include "udpwire/datagram_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace udpwire_test;

constexpr const char* kInsideVariable = "UDPWIRE_TEST_IN_SLOW_NAMESPACE";

bool insideSlowNamespace() { return std::getenv(kInsideVariable) != nullptr; }

// Runs the current test alone in a fresh user and network namespace whose
// loopback sends about 125,000 bytes a second and holds (rather than
// drops) what waits: a socket's send buffer fills within a few hundred
// datagrams. False (with the test ended) when the namespace cannot be made.
// The program runs on one processor: loopback hands each datagram to the
// processor that takes it off the device, and two processors' backlogs
// may deliver in another order than the sockets sent.
void runInSlowNamespace() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string self(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  ASSERT_GT(length, 0);
  self.resize(static_cast<size_t>(length));
  std::string setUp = "ip link set lo up && tc qdisc add dev lo root tbf rate 1mbit burst 4000 latency 60s && "
                      "cpu=$(grep Cpus_allowed_list /proc/self/status | cut -f2 | cut -d, -f1 | cut -d- -f1) && "
                      "exec taskset -c \"$cpu\" \"$0\" --gtest_filter=\"$1\"";
  std::string filter = std::string(test->test_suite_name()) + "." + test->name();
  ProgramRun run = runProgram({"unshare", "-Urn", "sh", "-c", setUp, self, filter}, std::chrono::seconds(90),
                              {std::string(kInsideVariable) + "=1"});
  if (run.output.find("[  PASSED  ] 1 test") != std::string::npos) return;
  if (run.exitCode != 0 && run.output.find("[ RUN      ]") == std::string::npos) {
    // Missing tools are the set-up's fault; a machine that refuses
    // namespaces (a locked-down container) is not.
    if (run.exitCode == -1 || run.exitCode == 127) {
      ORVANE_MISSING_PEER() << "unshare, ip or tc is missing: " << run.output;
    }
    GTEST_SKIP() << "this machine allows no private network namespace with a rate-limited loopback: "
                 << run.output;
  }
  FAIL() << run.output;
}

std::string numbered(int number, size_t length) {
  std::string text = std::to_string(number);
  text.resize(length, '.');
  return text;
}

// Every datagram arrived, once, in the order written.
void expectInOrder(Inbox& inbox, int count, size_t length) {
  std::lock_guard guard(inbox.lock);
  ASSERT_EQ(inbox.received.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) ASSERT_EQ(inbox.received[i].data, numbered(i, length)) << "datagram " << i;
}

// Waits (a minute at most) until `condition` holds: the slow loopback
// takes seconds, with a wake-up per datagram.
template <class Condition>
bool waitLong(Inbox& inbox, Condition condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    WaitForSingleObject(inbox.changed, 100);
  }
  return true;
}

constexpr int kFlood = 400;  // far more than a send buffer holds here
constexpr size_t kFloodLength = 600;

TEST(SendPath, DatagramsTheSocketCannotTakeAreQueuedAndSentInOrderOnce) {
  if (!insideSlowNamespace()) return runInSlowNamespace();
  Inbox senderSide, receiverSide;
  CDatagramSocket sender(&senderSide, nullptr, 0), receiver(&receiverSide, nullptr, 0);
  senderSide.attach(sender);
  receiverSide.attach(receiver);
  ASSERT_NE(createOnFreePort(sender), 0);
  int receiverPort = createOnFreePort(receiver);
  ASSERT_NE(receiverPort, 0);
  sockaddr_in to = loopback(receiverPort);

  for (int i = 0; i < kFlood; ++i) {
    std::string text = numbered(i, kFloodLength);
    ASSERT_EQ(sender.Write(static_cast<int>(text.size()), text.data(), &to), 0);
  }
  // What went out at once was reported before Write returned; the rest
  // waits for the writer thread.
  size_t sentAtOnce = senderSide.sentCount();
  EXPECT_GT(sentAtOnce, 0u);
  EXPECT_LT(sentAtOnce, static_cast<size_t>(kFlood));

  ASSERT_TRUE(waitLong(receiverSide, [&] { return receiverSide.receivedCount() >= kFlood; }));
  ASSERT_TRUE(waitLong(senderSide, [&] { return senderSide.sentCount() >= kFlood; }));
  expectInOrder(receiverSide, kFlood, kFloodLength);
  std::lock_guard guard(senderSide.lock);
  EXPECT_EQ(senderSide.sent.size(), static_cast<size_t>(kFlood));
  EXPECT_TRUE(senderSide.failed.empty());
}

TEST(SendPath, AnotherSocketSendsAtOnceWhileTheWriterWaitsForAFullOne) {
  if (!insideSlowNamespace()) return runInSlowNamespace();
  Inbox fullSide, otherSide, receiverSide;
  CDatagramSocket full(&fullSide, nullptr, 0), other(&otherSide, nullptr, 0), receiver(&receiverSide, nullptr, 0);
  fullSide.attach(full);
  otherSide.attach(other);
  receiverSide.attach(receiver);
  ASSERT_NE(createOnFreePort(full), 0);
  ASSERT_NE(createOnFreePort(other), 0);
  int receiverPort = createOnFreePort(receiver);
  ASSERT_NE(receiverPort, 0);
  sockaddr_in to = loopback(receiverPort);
  std::string filler(kFloodLength, 'f');
  for (int i = 0; i < kFlood; ++i) ASSERT_EQ(full.Write(static_cast<int>(filler.size()), filler.data(), &to), 0);
  ASSERT_LT(fullSide.sentCount(), static_cast<size_t>(kFlood));  // the writer thread has a backlog

  constexpr int kOthers = 5;
  for (int i = 0; i < kOthers; ++i) {
    std::string text = numbered(i, 8);
    ASSERT_EQ(other.Write(static_cast<int>(text.size()), text.data(), &to), 0);
  }
  EXPECT_EQ(otherSide.sentCount(), static_cast<size_t>(kOthers));  // none waited for the writer thread

  ASSERT_TRUE(waitLong(receiverSide, [&] { return receiverSide.receivedCount() >= kFlood + kOthers; }));
  std::vector<std::string> fromOther;
  {
    std::lock_guard guard(receiverSide.lock);
    for (const auto& datagram : receiverSide.received)
      if (datagram.data.size() == 8) fromOther.push_back(datagram.data);
  }
  std::vector<std::string> expected;
  for (int i = 0; i < kOthers; ++i) expected.push_back(numbered(i, 8));
  EXPECT_EQ(fromOther, expected);
}

// The writer thread's count of wake-ups once it has been still for a fifth
// of a second (the rescans of new sockets wake it), which a busy machine's
// scheduler also allows.
uint64_t settledWriterWakeUps() {
  udpwire::CSocketEngine* engine = udpwire::CSocketEngine::existing();
  uint64_t count = engine->writerWakeUps();
  for (int i = 0; i < 100; ++i) {
    Sleep(200);
    if (engine->writerWakeUps() == count) break;
    count = engine->writerWakeUps();
  }
  return count;
}

// On plain loopback nothing waits: every datagram is reported sent before
// Write returns, on the writing thread, arrives in order, and the writer
// thread sleeps through it all.
TEST(SendPath, DatagramsGoOutBeforeWriteReturnsWithoutWakingTheWriter) {
  Inbox senderSide, receiverSide;
  CDatagramSocket sender(&senderSide, nullptr, 0), receiver(&receiverSide, nullptr, 0);
  senderSide.attach(sender);
  receiverSide.attach(receiver);
  ASSERT_NE(createOnFreePort(sender), 0);
  int receiverPort = createOnFreePort(receiver);
  ASSERT_NE(receiverPort, 0);
  sockaddr_in to = loopback(receiverPort);
  uint64_t writerWakeUps = settledWriterWakeUps();
  constexpr int kCount = 20;
  for (int i = 0; i < kCount; ++i) {
    std::string text = numbered(i, 16);
    ASSERT_EQ(sender.Write(static_cast<int>(text.size()), text.data(), &to), 0);
    EXPECT_EQ(senderSide.sentCount(), static_cast<size_t>(i + 1));
  }
  ASSERT_TRUE(receiverSide.waitForReceived(kCount));
  expectInOrder(receiverSide, kCount, 16);
  EXPECT_EQ(udpwire::CSocketEngine::existing()->writerWakeUps(), writerWakeUps);
}

}  // namespace
