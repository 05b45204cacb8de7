#include "platform/message_wait_sources.h"
#include "platform/messages.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr UINT kFromSource = WM_USER + 7;
constexpr UINT kStop = WM_USER + 8;
constexpr UINT kBeBusy = WM_USER + 9;  // wParam: milliseconds
constexpr auto kPatience = std::chrono::seconds(10);

// An eventfd that the test makes readable; `ready` drains it, counts, and
// posts kFromSource to the thread it runs on.
class CountingSource final : public platform::MessageWaitSource {
 public:
  CountingSource() : descriptor_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~CountingSource() override { close(descriptor_); }
  int descriptor() const noexcept override { return descriptor_; }
  void ready() noexcept override {
    uint64_t value;
    [[maybe_unused]] ssize_t taken = read(descriptor_, &value, sizeof value);
    readyThread = GetCurrentThreadId();
    readies += 1;
    PostThreadMessage(GetCurrentThreadId(), kFromSource, 0, 0);
  }
  void signal() {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(descriptor_, &one, sizeof one);
  }

  std::atomic<int> readies{0};
  std::atomic<DWORD> readyThread{0};

 private:
  int descriptor_;
};

// A thread that answers kFromSource messages until kStop; it counts them.
// kBeBusy keeps it from waiting for a while.
class PumpingThread {
 public:
  PumpingThread() {
    thread_ = std::thread([this] {
      MSG message;
      PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
      id_ = GetCurrentThreadId();
      while (GetMessage(&message, nullptr, 0, 0) > 0 && message.message != kStop) {
        if (message.message == kFromSource) fromSource += 1;
        if (message.message == kBeBusy) {
          busy = true;
          Sleep(static_cast<DWORD>(message.wParam));
          busy = false;
        }
      }
    });
    while (id_ == 0) std::this_thread::yield();
  }
  ~PumpingThread() {
    PostThreadMessage(id_, kStop, 0, 0);
    thread_.join();
  }
  DWORD id() const { return id_; }
  std::atomic<int> fromSource{0};
  std::atomic<bool> busy{false};

 private:
  std::atomic<DWORD> id_{0};
  std::thread thread_;
};

template <class Condition>
bool eventually(Condition condition) {
  auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(1);
  }
  return true;
}

// A pump with a source attached, whose waits have served it once.
struct PumpWithSource : ::testing::Test {
  void SetUp() override {
    attached = platform::attachToMessageWaits(pump.id(), source);
    ASSERT_NE(attached, nullptr);
    // The pump's GetMessage may have begun before the source came; a
    // message sends it round to a wait that watches the source.
    PostThreadMessage(pump.id(), WM_NULL, 0, 0);
    source->signal();
    ASSERT_TRUE(eventually([&] { return pump.fromSource.load() == 1; }));
  }
  PumpingThread pump;
  std::shared_ptr<CountingSource> source = std::make_shared<CountingSource>();
  std::shared_ptr<platform::AttachedSource> attached;
};

TEST_F(PumpWithSource, TheWaitingThreadServesItsSourceAndWhatItPostsEndsItsWait) {
  for (int round = 2; round <= 20; ++round) {
    source->signal();
    ASSERT_TRUE(eventually([&] { return pump.fromSource.load() == round; })) << round;
  }
  EXPECT_EQ(source->readies.load(), 20);
  EXPECT_EQ(source->readyThread.load(), pump.id());
  platform::detachFromMessageWaits(attached);
}

// Counts the wake-ups of a thread asleep in an epoll set that watches the
// source exclusively, made after the attach; it drains what woke it.
class LaterExclusiveWatcher {
 public:
  explicit LaterExclusiveWatcher(int descriptor) : set_(epoll_create1(EPOLL_CLOEXEC)) {
    epoll_event event{EPOLLIN | EPOLLEXCLUSIVE, {}};
    epoll_ctl(set_, EPOLL_CTL_ADD, descriptor, &event);
    thread_ = std::thread([this, descriptor] {
      for (int look = 0; look < 2000 && !stop_; ++look) {  // 100 s at most
        epoll_event event;
        if (epoll_wait(set_, &event, 1, 50) <= 0) continue;
        uint64_t value;
        if (read(descriptor, &value, sizeof value) > 0) wakeUps += 1;
      }
    });
  }
  ~LaterExclusiveWatcher() {
    stop_ = true;
    thread_.join();
    close(set_);
  }
  std::atomic<int> wakeUps{0};

 private:
  int set_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(PumpWithSource, WhileTheThreadSleepsInItsWaitALaterExclusiveWatcherIsNotWoken) {
  LaterExclusiveWatcher watcher(source->descriptor());
  for (int round = 2; round <= 30; ++round) {
    source->signal();
    ASSERT_TRUE(eventually([&] { return pump.fromSource.load() == round; })) << round;
  }
  EXPECT_EQ(watcher.wakeUps.load(), 0);
  // A busy thread leaves the source to the watcher.
  PostThreadMessage(pump.id(), kBeBusy, 3000, 0);
  ASSERT_TRUE(eventually([&] { return pump.busy.load(); }));
  source->signal();
  EXPECT_TRUE(eventually([&] { return watcher.wakeUps.load() == 1; }));
  ASSERT_TRUE(eventually([&] { return !pump.busy.load(); }));
  platform::detachFromMessageWaits(attached);
}

TEST_F(PumpWithSource, ADetachWakesTheWaitAndNothingIsCalledAfterIt) {
  auto start = std::chrono::steady_clock::now();
  platform::detachFromMessageWaits(attached);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  source->signal();
  PostThreadMessage(pump.id(), WM_NULL, 0, 0);
  Sleep(100);
  EXPECT_EQ(source->readies.load(), 1);  // the set-up's
  EXPECT_EQ(pump.fromSource.load(), 1);
}

TEST(MessageWaitSources, OnlyWaitsForPostedMessagesServeSources) {
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  auto source = std::make_shared<CountingSource>();
  auto attached = platform::attachToMessageWaits(GetCurrentThreadId(), source);
  ASSERT_NE(attached, nullptr);
  source->signal();
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 20), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 20, QS_SENDMESSAGE), WAIT_TIMEOUT);
  EXPECT_EQ(source->readies.load(), 0);
  // A wait for posted input serves it, and ends with what it posted.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 10000, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(source->readies.load(), 1);
  ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, kFromSource);
  // So does one without objects, which sleeps in the thread's own set.
  source->signal();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_POSTMESSAGE), WAIT_OBJECT_0);
  EXPECT_EQ(source->readies.load(), 2);
  PeekMessage(&message, nullptr, 0, 0, PM_REMOVE);
  platform::detachFromMessageWaits(attached);  // on its own thread: no wait
  CloseHandle(event);
}

TEST(MessageWaitSources, AThreadWithoutAQueueTakesNoSource) {
  auto source = std::make_shared<CountingSource>();
  DWORD queueless = 0;
  std::thread([&] { queueless = GetCurrentThreadId(); }).join();
  EXPECT_EQ(platform::attachToMessageWaits(queueless, source), nullptr);
  platform::detachFromMessageWaits(nullptr);
}

}  // namespace
