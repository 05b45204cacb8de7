#include "platform/messages.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Waits long enough for any real wake-up; a hang fails through CTest's limit.
constexpr DWORD kPatience = 10000;

DWORD WINAPI returnParameter(LPVOID parameter) {
  return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
}

DWORD WINAPI waitOnEventForever(LPVOID event) {
  return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE) == WAIT_FAILED ? 55 : 66;
}

TEST(Events, ManualResetStaysSignalledUntilReset) {
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 5), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(event));
}

TEST(Events, AutoResetReleasesOneWaitPerSignal) {
  HANDLE event = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  SetEvent(event);
  SetEvent(event);  // signals do not add up
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, ClosedAndMadeUpHandlesAreRefused) {
  HANDLE event = CreateEvent(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(0x7777), 0), WAIT_FAILED);
  EXPECT_EQ(CreateEvent(nullptr, TRUE, FALSE, "named"), nullptr);
}

TEST(Threads, HandleIsSignalledWhenTheThreadEndsAndKeepsItsExitCode) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 16000, returnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  CloseHandle(thread);
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResume) {
  static std::atomic<bool> ran{false};
  ran = false;
  auto body = [](LPVOID) -> DWORD {
    ran = true;
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, body, nullptr, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  EXPECT_FALSE(ran);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(ResumeThread(thread), 1u);
  ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  EXPECT_TRUE(ran);
  EXPECT_EQ(ResumeThread(thread), 0u);
  CloseHandle(thread);
}

TEST(Threads, SelfSuspendedThreadWaitsForResume) {
  static std::atomic<int> stage{0};
  stage = 0;
  auto body = [](LPVOID) -> DWORD {
    stage = 1;
    SuspendThread(GetCurrentThread());
    stage = 2;
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, body, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  for (int i = 0; i < 10000 && stage != 1; ++i) Sleep(1);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  EXPECT_EQ(stage, 1);
  for (int i = 0; i < 10000 && ResumeThread(thread) == 0; ++i) Sleep(1);
  ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  EXPECT_EQ(stage, 2);
  EXPECT_EQ(SuspendThread(thread), static_cast<DWORD>(-1));  // not the caller
  CloseHandle(thread);
}

TEST(Threads, TerminationFailsTheThreadsWaitsAndSetsTheExitCode) {
  HANDLE never = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, waitOnEventForever, never, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  ASSERT_TRUE(TerminateThread(thread, 7));
  ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 7u);  // the code given, not what the thread returned
  CloseHandle(thread);
  CloseHandle(never);
}

TEST(Threads, TerminatedThreadsMessageLoopEnds) {
  auto loop = [](LPVOID) -> DWORD {
    MSG message;
    while (GetMessage(&message, nullptr, 0, 0) > 0) {
    }
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, loop, nullptr, 0, nullptr);
  ASSERT_TRUE(TerminateThread(thread, 3));
  EXPECT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  CloseHandle(thread);
}

TEST(Threads, PrioritiesAreKeptAndReported) {
  HANDLE self = GetCurrentThread();
  int original = GetThreadPriority(self);
  EXPECT_EQ(original, THREAD_PRIORITY_NORMAL);
  HANDLE thread = CreateThread(nullptr, 0, returnParameter, nullptr, CREATE_SUSPENDED, nullptr);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  EXPECT_FALSE(SetThreadPriority(thread, 7));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  ResumeThread(thread);
  WaitForSingleObject(thread, kPatience);
  CloseHandle(thread);
  EXPECT_EQ(GetThreadPriority(reinterpret_cast<HANDLE>(0x5555)), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(MsgWait, WakesForTheFirstSignalledEvent) {
  HANDLE events[2] = {CreateEvent(nullptr, TRUE, FALSE, nullptr), CreateEvent(nullptr, FALSE, FALSE, nullptr)};
  EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  auto setLater = [](LPVOID event) -> DWORD {
    Sleep(5);
    SetEvent(static_cast<HANDLE>(event));
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, setLater, events[1], 0, nullptr);
  EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, kPatience, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);  // auto reset
  WaitForSingleObject(thread, kPatience);
  CloseHandle(thread);
  for (HANDLE event : events) CloseHandle(event);
}

TEST(MsgWait, WakesForAMessagePostedByAnotherThread) {
  DWORD self = GetCurrentThreadId();
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  // The wait creates the queue, so a post can arrive only after it started.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  auto postLater = [](LPVOID target) -> DWORD {
    Sleep(5);
    return PostThreadMessage(static_cast<DWORD>(reinterpret_cast<uintptr_t>(target)), WM_USER + 9, 0, 0);
  };
  HANDLE thread = CreateThread(nullptr, 0, postLater, reinterpret_cast<LPVOID>(uintptr_t{self}), 0, nullptr);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, kPatience, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  MSG message;
  ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 9u);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, TRUE, 0, QS_ALLINPUT), WAIT_FAILED);
  WaitForSingleObject(thread, kPatience);
  CloseHandle(thread);
  CloseHandle(event);
}

TEST(MsgWait, IgnoresMessagesOutsideItsWakeMask) {
  MSG leftover;
  while (PeekMessage(&leftover, nullptr, 0, 0, PM_REMOVE)) {
  }
  ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER, 0, 0));
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE), WAIT_OBJECT_0);
}

}  // namespace
