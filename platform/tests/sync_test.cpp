#include "platform/adaptive_lock.h"
#include "platform/message_box.h"
#include "platform/spin_lock.h"
#include "platform/sync.h"
#include "platform/tick.h"
#include "platform/tls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(CriticalSection, IsReentrantForTheOwningThread) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));
  LeaveCriticalSection(&section);
  bool otherThreadGotIt = true;
  std::thread([&] {
    otherThreadGotIt = TryEnterCriticalSection(&section);
    if (otherThreadGotIt) LeaveCriticalSection(&section);
  }).join();
  EXPECT_FALSE(otherThreadGotIt);
  LeaveCriticalSection(&section);
  DeleteCriticalSection(&section);
}

// Both locks: more threads than processors, and a holder that now and
// then sleeps while holding (waiters of the adaptive lock then sleep too
// and must all be woken).
template <class Lock>
class ShortLocks : public testing::Test {};
using LockKinds = testing::Types<platform::SpinLock, platform::AdaptiveLock>;
TYPED_TEST_SUITE(ShortLocks, LockKinds);

TYPED_TEST(ShortLocks, ExcludeOtherThreadsWhileHeld) {
  TypeParam lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int worker = 0; worker < 6; ++worker) {
    threads.emplace_back([&] {
      for (int round = 0; round < 20000; ++round) {
        std::lock_guard guard(lock);
        counter += 1;
        if (round % 5000 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 6 * 20000);
  ASSERT_TRUE(lock.try_lock());
  bool otherThreadGotIt = true;
  std::thread([&] { otherThreadGotIt = lock.try_lock(); }).join();
  EXPECT_FALSE(otherThreadGotIt);
  lock.unlock();
}

TEST(ThreadLocalStorage, EachThreadSeesItsOwnValue) {
  DWORD slot = TlsAlloc();
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  int mine = 1, theirs = 2;
  TlsSetValue(slot, &mine);
  std::thread([&] {
    EXPECT_EQ(TlsGetValue(slot), nullptr);
    TlsSetValue(slot, &theirs);
    EXPECT_EQ(TlsGetValue(slot), &theirs);
  }).join();
  EXPECT_EQ(TlsGetValue(slot), &mine);
  EXPECT_TRUE(TlsFree(slot));
}

TEST(TickCount, NeverRunsBackwards) {
  DWORD first = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  DWORD second = GetTickCount();
  EXPECT_GE(second - first, 15u);
}

std::string shownText, shownCaption;
int recordMessageBox(HWND, const char* text, const char* caption, unsigned) {
  shownText = text;
  shownCaption = caption;
  return IDOK;
}

TEST(MessageBoxHook, ReceivesTextAndCaptionUntilRemoved) {
  platform::setMessageBoxHook(recordMessageBox);
  EXPECT_EQ(MessageBox(nullptr, "the text", "the caption", MB_OK), IDOK);
  EXPECT_EQ(shownText, "the text");
  EXPECT_EQ(shownCaption, "the caption");
  EXPECT_EQ(platform::setMessageBoxHook(nullptr), &recordMessageBox);
}

}  // namespace
