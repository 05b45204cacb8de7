// A thread that receives its socket's datagrams itself while it waits for
// messages, and the reader thread that receives whenever it does not.
#include "../src/socket_engine.h"
#include "socket_test_support.h"

#include "platform/messages.h"

#include <chrono>
#include <thread>

namespace {

using namespace udpwire_test;

constexpr UINT kBusy = WM_USER + 1;  // the owner sleeps until `released` is set
constexpr UINT kStop = WM_USER + 2;

// The thread each datagram was received on, by arrival.
struct ThreadLog {
  std::mutex lock;
  std::vector<DWORD> threads;
  size_t count() {
    std::lock_guard guard(lock);
    return threads.size();
  }
  DWORD last() {
    std::lock_guard guard(lock);
    return threads.back();
  }
  static int WINAPI onReceived(void* user, void*, unsigned long, sockaddr_in*) {
    auto* log = static_cast<ThreadLog*>(user);
    std::lock_guard guard(log->lock);
    log->threads.push_back(GetCurrentThreadId());
    return 0;
  }
};

class OwnerThread {
 public:
  OwnerThread() {
    released_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] {
      MSG message;
      PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
      id_ = GetCurrentThreadId();
      while (GetMessage(&message, nullptr, 0, 0) > 0 && message.message != kStop) {
        if (message.message == kBusy) WaitForSingleObject(released_, kPatience);
      }
    });
    while (id_ == 0) std::this_thread::yield();
  }
  ~OwnerThread() {
    SetEvent(released_);
    PostThreadMessage(id_, kStop, 0, 0);
    thread_.join();
    CloseHandle(released_);
  }
  DWORD id() const { return id_; }
  void keepBusy() {
    ResetEvent(released_);
    PostThreadMessage(id_, kBusy, 0, 0);
  }
  void release() { SetEvent(released_); }

 private:
  std::atomic<DWORD> id_{0};
  HANDLE released_;
  std::thread thread_;
};

template <class Condition>
bool eventually(Condition condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatience);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(1);
  }
  return true;
}

class OwnerReception : public ::testing::Test {
 protected:
  void SetUp() override {
    receiver_.OnReceived = ThreadLog::onReceived;
    port_ = createOnFreePort(receiver_);
    ASSERT_NE(port_, 0);
    ASSERT_EQ(sender_.CreateSocket(nullptr), 0);
    ASSERT_EQ(receiver_.ReceiveOnThread(owner_.id()), 0);
    // The owner's GetMessage began before the socket was handed to it; a
    // message sends it round to a wait that watches the socket.
    PostThreadMessage(owner_.id(), WM_NULL, 0, 0);
  }
  // Sends one datagram and waits for it; false when it did not come.
  bool exchange() {
    size_t before = log_.count();
    sender_.Write(4, const_cast<char*>("ping"), "127.0.0.1", port_);
    return eventually([&] { return log_.count() > before; });
  }
  // Until one datagram arrives on the owner's thread (the owner is then
  // asleep in a wait that watches the socket, and stays there).
  bool reachTheOwner() {
    for (int i = 0; i < 100; ++i) {
      if (!exchange()) return false;
      if (log_.last() == owner_.id()) return true;
      Sleep(10);
    }
    return false;
  }

  OwnerThread owner_;
  ThreadLog log_;
  Inbox senderInbox_;
  CDatagramSocket receiver_{&log_, nullptr, 0};
  CDatagramSocket sender_{&senderInbox_, nullptr, 0};
  int port_ = 0;
};

TEST_F(OwnerReception, TheWaitingOwnerReceivesAndTheReaderSleeps) {
  ASSERT_TRUE(reachTheOwner());
  // The reader's last wake-ups (rescans for the new sockets) may still be
  // on their way on a busy machine: counted once nothing changed for a while.
  udpwire::CSocketEngine* engine = udpwire::CSocketEngine::existing();
  uint64_t readerWakeUps = 0;
  for (int i = 0; i < 100; ++i) {
    readerWakeUps = engine->readerWakeUps();
    Sleep(200);
    if (readerWakeUps == engine->readerWakeUps()) break;
  }
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(exchange()) << i;
    EXPECT_EQ(log_.last(), owner_.id()) << i;
  }
  EXPECT_EQ(engine->readerWakeUps(), readerWakeUps);
}

TEST_F(OwnerReception, TheReaderReceivesWhileTheOwnerIsBusy) {
  ASSERT_TRUE(reachTheOwner());
  owner_.keepBusy();
  // Some datagram arrives on the reader once the owner has left its wait.
  bool readerReceived = false;
  for (int i = 0; i < 100 && !readerReceived; ++i) {
    ASSERT_TRUE(exchange()) << i;
    readerReceived = log_.last() != owner_.id();
  }
  EXPECT_TRUE(readerReceived);
  owner_.release();
  EXPECT_TRUE(reachTheOwner());
}

TEST_F(OwnerReception, DestroyingTheSocketWhileItsOwnerWaitsFreesThePortAtOnce) {
  ASSERT_TRUE(reachTheOwner());
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(receiver_.DestroySocket(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  size_t received = log_.count();
  sender_.Write(4, const_cast<char*>("late"), "127.0.0.1", port_);
  CDatagramSocket again(&log_, nullptr, 0);
  EXPECT_EQ(again.CreateSocket(port_), 0);
  again.DestroySocket();
  Sleep(50);
  EXPECT_EQ(log_.count(), received);
  EXPECT_EQ(receiver_.ReceiveOnThread(owner_.id()), 3);  // no socket any more
}

TEST(OwnerReceptionRefused, WithoutAQueueTheReaderKeepsTheSocket) {
  ThreadLog log;
  CDatagramSocket socket(&log, nullptr, 0);
  EXPECT_EQ(socket.ReceiveOnThread(GetCurrentThreadId()), 3);  // no socket yet
  ASSERT_NE(createOnFreePort(socket), 0);
  DWORD queueless = 0;
  std::thread([&] { queueless = GetCurrentThreadId(); }).join();
  EXPECT_EQ(socket.ReceiveOnThread(queueless), 3);
}

}  // namespace
