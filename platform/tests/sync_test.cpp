#include "platform/message_box.h"
#include "platform/sync.h"
#include "platform/tick.h"
#include "platform/tls.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

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
