#include "platform/message_box.h"
#include "platform/messages.h"
#include "udpwire/destroy_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::string boxText, boxCaption;
int boxes = 0;

int recordBox(HWND, const char* text, const char* caption, unsigned) {
  boxText = text;
  boxCaption = caption;
  ++boxes;
  return IDOK;
}

HANDLE queueReady = CreateEvent(nullptr, TRUE, FALSE, nullptr);

DWORD WINAPI followsTheConvention(LPVOID delay) {
  Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(delay)));
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(queueReady);
  while (GetMessage(&message, nullptr, 0, 0) > 0)
    if (message.message == UDPWIRE_QUIT_MESSAGE) return 0;
  return 1;
}

std::atomic<bool> stuckThreadWoke{false};

DWORD WINAPI neverReadsMessages(LPVOID event) {
  WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  stuckThreadWoke = true;  // only a termination ends that wait
  return 0;
}

class DestroyThread : public testing::Test {
 protected:
  void SetUp() override {
    boxes = 0;
    ResetEvent(queueReady);
    platform::setMessageBoxHook(recordBox);
  }
  void TearDown() override {
    platform::setMessageBoxHook(nullptr);
    udpwire::setDestroyThreadStep(0);
  }
};

TEST_F(DestroyThread, ThreadThatReadsItsMessagesEndsAtOnce) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, followsTheConvention, nullptr, 0, &id);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(queueReady, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(destroyThread(id, thread, "reader"), 1);
  EXPECT_FALSE(CloseHandle(thread));  // already closed
  EXPECT_EQ(boxes, 0);
}

TEST_F(DestroyThread, PostIsRepeatedUntilTheThreadHasAQueue) {
  DWORD id = 0;
  // Its queue appears only after the first wait (100 ms) has begun.
  HANDLE thread = CreateThread(nullptr, 0, followsTheConvention, reinterpret_cast<LPVOID>(50), 0, &id);
  EXPECT_EQ(destroyThread(id, thread, "late"), 1);
  EXPECT_EQ(boxes, 0);
}

TEST_F(DestroyThread, SuspendedThreadIsResumedToQuit) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, followsTheConvention, nullptr, CREATE_SUSPENDED, &id);
  EXPECT_EQ(destroyThread(id, thread, "suspended"), 1);
}

TEST_F(DestroyThread, StuckThreadIsReportedAndTerminatedAfterElevenAttempts) {
  udpwire::setDestroyThreadStep(1);  // 66 ms in all instead of 6.6 s
  HANDLE never = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, neverReadsMessages, never, 0, &id);
  EXPECT_EQ(destroyThread(id, thread, "stuck"), 0);
  EXPECT_EQ(boxes, 1);
  char expected[128];
  std::snprintf(expected, sizeof expected, "Error while exiting thread stuck, h: %08x id: %08x",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(thread)), static_cast<unsigned>(id));
  EXPECT_EQ(boxText, expected);
  EXPECT_FALSE(boxCaption.empty());
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
  for (int i = 0; i < 10000 && !stuckThreadWoke; ++i) Sleep(1);
  EXPECT_TRUE(stuckThreadWoke);
  CloseHandle(never);
}

}  // namespace
