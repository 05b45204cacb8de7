#include "platform/messages.h"
#include "platform/tick.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kPatience = 10000;
constexpr char kClassName[] = "Orvane_test_window_class";

std::vector<UINT>& seenMessages() {
  static std::vector<UINT> seen;
  return seen;
}

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seenMessages().push_back(message);
  if (message == WM_USER + 1) return static_cast<LRESULT>(wParam * 2);
  if (message == WM_CREATE && reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams) return -1;
  return DefWindowProc(window, message, wParam, lParam);
}

class Messages : public testing::Test {
 protected:
  void SetUp() override {
    MSG leftover;  // from earlier tests when they share this thread
    while (PeekMessage(&leftover, nullptr, 0, 0, PM_REMOVE)) {
    }
    seenMessages().clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.lpszClassName = kClassName;
    RegisterClass(&windowClass);
  }
  static HWND makeWindow(int width = 300, int height = 200) {
    return CreateWindow(kClassName, "title", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr, nullptr,
                        nullptr, nullptr);
  }
};

// A thread that creates a window, reports it and pumps messages until
// WM_USER + 2 arrives.
struct WindowThread {
  std::atomic<HWND> window{nullptr};
  HANDLE ready = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = nullptr;

  void start() {
    thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    WaitForSingleObject(ready, kPatience);
  }
  void stop() {
    PostMessage(window, WM_USER + 2, 0, 0);
    WaitForSingleObject(thread, kPatience);
    CloseHandle(thread);
    CloseHandle(ready);
  }
  static DWORD WINAPI run(LPVOID self) {
    auto& owner = *static_cast<WindowThread*>(self);
    owner.window = CreateWindow(kClassName, "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(owner.ready);
    MSG message;
    while (GetMessage(&message, nullptr, 0, 0) > 0 && message.message != WM_USER + 2) DispatchMessage(&message);
    return 0;
  }
};

TEST_F(Messages, PostThreadMessageFailsUntilTheThreadHasAQueue) {
  static std::atomic<int> stage{0};
  HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  auto body = [](LPVOID go) -> DWORD {
    WaitForSingleObject(static_cast<HANDLE>(go), kPatience);
    MSG message;
    PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
    stage = 1;
    GetMessage(&message, nullptr, 0, 0);
    return message.message;
  };
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, body, go, 0, &id);
  EXPECT_FALSE(PostThreadMessage(id, WM_USER + 5, 0, 0));
  SetEvent(go);
  for (int i = 0; i < 10000 && stage != 1; ++i) Sleep(1);
  EXPECT_TRUE(PostThreadMessage(id, WM_USER + 5, 0, 0));
  ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, WM_USER + 5u);
  EXPECT_FALSE(PostThreadMessage(id, WM_USER + 5, 0, 0));  // the queue ended with the thread
  CloseHandle(thread);
  CloseHandle(go);
}

TEST_F(Messages, PostedMessagesArriveInOrderWithTheirParameters) {
  HWND window = makeWindow();
  ASSERT_NE(window, nullptr);
  for (UINT i = 0; i < 5; ++i) ASSERT_TRUE(PostMessage(window, WM_USER + 10 + i, i, -static_cast<LPARAM>(i)));
  ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER + 20, 7, 8));
  MSG message;
  for (UINT i = 0; i < 5; ++i) {
    ASSERT_EQ(GetMessage(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.message, WM_USER + 10 + i);
    EXPECT_EQ(message.wParam, i);
    EXPECT_EQ(message.lParam, -static_cast<LPARAM>(i));
  }
  ASSERT_EQ(GetMessage(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.message, WM_USER + 20u);
  EXPECT_FALSE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 0, 0);
  EXPECT_EQ(GetMessage(&message, nullptr, 0, 0), 0);
  DestroyWindow(window);
}

TEST_F(Messages, PeekFiltersByWindowAndNumberAndCanLeaveTheMessage) {
  HWND window = makeWindow();
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 1, 0, 0);
  PostMessage(window, WM_USER + 3, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessage(&message, window, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_USER + 3u);
  ASSERT_TRUE(PeekMessage(&message, nullptr, WM_USER + 2, WM_USER + 5, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 3u);
  ASSERT_TRUE(PeekMessage(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 1u);
  EXPECT_FALSE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  DestroyWindow(window);
}

TEST_F(Messages, DispatchCallsTheWindowProcedure) {
  HWND window = makeWindow();
  PostMessage(window, WM_USER + 1, 21, 0);
  MSG message;
  ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessage(&message), 42);
  EXPECT_EQ(seenMessages(), (std::vector<UINT>{WM_CREATE, WM_USER + 1}));
  DestroyWindow(window);
}

TEST_F(Messages, WindowLifecycle) {
  HWND window = makeWindow(300, 200);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  RECT rect{-1, -1, -1, -1};
  ASSERT_TRUE(GetClientRect(window, &rect));
  EXPECT_EQ(rect.right, 300);
  EXPECT_EQ(rect.bottom, 200);
  EXPECT_FALSE(UnregisterClass(kClassName, nullptr));  // a window still uses it
  EXPECT_EQ(SendMessage(window, WM_CLOSE, 0, 0), 0);   // the default procedure destroys it
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(GetClientRect(window, &rect));
  EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
  EXPECT_EQ(seenMessages(), (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY}));
  EXPECT_TRUE(UnregisterClass(kClassName, nullptr));
  EXPECT_EQ(makeWindow(), nullptr);  // the class is gone
}

TEST_F(Messages, CreationFailsWhenWmCreateRefuses) {
  int refuse = 1;
  EXPECT_EQ(CreateWindow(kClassName, "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, &refuse), nullptr);
  EXPECT_EQ(CreateWindow("no such class", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Messages, SendMessageToAnotherThreadRunsThereAndReturnsItsAnswer) {
  WindowThread owner;
  owner.start();
  ASSERT_TRUE(IsWindow(owner.window));
  EXPECT_EQ(SendMessage(owner.window, WM_USER + 1, 50, 0), 100);
  EXPECT_FALSE(DestroyWindow(owner.window));  // only its own thread may
  owner.stop();
  EXPECT_FALSE(IsWindow(owner.window));  // windows end with their thread
  EXPECT_EQ(SendMessage(owner.window, WM_USER + 1, 50, 0), 0);
}

TEST_F(Messages, SendMessageToAThreadThatEndsWithoutAnsweringReturnsZero) {
  HANDLE created = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  static std::atomic<HWND> window{nullptr};
  auto body = [](LPVOID created) -> DWORD {
    window = CreateWindow(kClassName, "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetEvent(static_cast<HANDLE>(created));
    Sleep(30);  // ends without retrieving messages
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, body, created, 0, nullptr);
  WaitForSingleObject(created, kPatience);
  EXPECT_EQ(SendMessage(window, WM_USER + 1, 50, 0), 0);
  WaitForSingleObject(thread, kPatience);
  CloseHandle(thread);
  CloseHandle(created);
}

TEST_F(Messages, TimersPostWmTimerUntilKilled) {
  HWND window = makeWindow();
  ASSERT_NE(SetTimer(window, 17, 5, nullptr), 0u);
  MSG message;
  for (int ticks = 0; ticks < 3; ++ticks) {
    ASSERT_EQ(GetMessage(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 17u);
  }
  ASSERT_TRUE(KillTimer(window, 17));
  EXPECT_FALSE(KillTimer(window, 17));
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), WAIT_TIMEOUT);
  DestroyWindow(window);
}

TEST_F(Messages, ThreadTimerCallsItsProcedureThroughDispatch) {
  static std::atomic<int> calls{0};
  auto procedure = [](HWND, UINT message, UINT_PTR, DWORD) {
    if (message == WM_TIMER) ++calls;
  };
  UINT_PTR id = SetTimer(nullptr, 0, 1, procedure);
  ASSERT_NE(id, 0u);
  MSG message;
  while (calls < 2 && GetMessage(&message, nullptr, 0, 0) > 0) DispatchMessage(&message);
  EXPECT_EQ(message.wParam, id);
  EXPECT_TRUE(KillTimer(nullptr, id));
  HWND other = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(SetTimer(other, 1, 1, nullptr), 0u);  // not a window of this thread
}

TEST_F(Messages, MessageWaitWakesWhenATimerFallsDue) {
  UINT_PTR id = SetTimer(nullptr, 0, 5, nullptr);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, kPatience, QS_TIMER), WAIT_OBJECT_0);
  KillTimer(nullptr, id);
}

// Another thread posts `message` to the calling thread after `delay` ms.
HANDLE postLater(UINT message, DWORD delay) {
  struct Later {
    DWORD target;
    UINT message;
    DWORD delay;
  };
  auto body = [](LPVOID argument) -> DWORD {
    Later later = *static_cast<Later*>(argument);
    delete static_cast<Later*>(argument);
    Sleep(later.delay);
    PostThreadMessage(later.target, later.message, 0, 0);
    return 0;
  };
  return CreateThread(nullptr, 0, body, new Later{GetCurrentThreadId(), message, delay}, 0, nullptr);
}

// A message outside the filter stays queued, and the wait sleeps until a
// matching one comes instead of looking again every millisecond.
TEST_F(Messages, AFilteredGetMessageSleepsUntilAMatchingMessageArrives) {
  ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER + 1, 0, 0));
  HANDLE poster = postLater(WM_USER + 2, 200);
  unsigned long long before = platform::waitWakeUpsOfCallingThread();
  MSG message;
  ASSERT_EQ(GetMessage(&message, nullptr, WM_USER + 2, WM_USER + 2), 1);
  EXPECT_EQ(message.message, WM_USER + 2u);
  EXPECT_LT(platform::waitWakeUpsOfCallingThread() - before, 10u);
  ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 1u);
  WaitForSingleObject(poster, kPatience);
  CloseHandle(poster);
}

TEST_F(Messages, AMessageWaitSleepsThroughQueuedInputItDoesNotWaitFor) {
  ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER + 1, 0, 0));
  unsigned long long before = platform::waitWakeUpsOfCallingThread();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_SENDMESSAGE), WAIT_TIMEOUT);
  EXPECT_LT(platform::waitWakeUpsOfCallingThread() - before, 10u);
  // New input of the kind it waits for still wakes it.
  HANDLE poster = postLater(WM_USER + 2, 50);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, kPatience, QS_POSTMESSAGE), WAIT_OBJECT_0);
  WaitForSingleObject(poster, kPatience);
  CloseHandle(poster);
}

// A timer of another window is due all along; the filtered wait neither
// takes its WM_TIMER nor keeps waking for it.
TEST_F(Messages, AFilteredGetMessageLeavesDueTimersOutsideTheFilter) {
  HWND window = makeWindow();
  ASSERT_NE(SetTimer(window, 3, 1, nullptr), 0u);
  Sleep(5);
  HANDLE poster = postLater(WM_USER + 2, 100);
  unsigned long long before = platform::waitWakeUpsOfCallingThread();
  MSG message;
  ASSERT_EQ(GetMessage(&message, reinterpret_cast<HWND>(-1), 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 2u);
  EXPECT_LT(platform::waitWakeUpsOfCallingThread() - before, 10u);
  KillTimer(window, 3);
  DestroyWindow(window);
  WaitForSingleObject(poster, kPatience);
  CloseHandle(poster);
}

TEST(SendMessageTimeout, AnswersAtOnceOnTheOwnThreadAndGivesUpOnABusyOne) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = [](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    return message == WM_USER ? static_cast<LRESULT>(wParam) * 2 : 0;
  };
  windowClass.lpszClassName = "TimeoutTestClass";
  ASSERT_TRUE(RegisterClass(&windowClass));
  HWND own = CreateWindow("TimeoutTestClass", "own", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeout(own, WM_USER, 21, 0, SMTO_NORMAL, 0, &answer));
  EXPECT_EQ(answer, 42u);

  // A thread that owns a window but never looks at its queue.
  HWND other = nullptr;
  HANDLE created = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  std::thread busy([&] {
    other = CreateWindow("TimeoutTestClass", "busy", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetEvent(created);
    WaitForSingleObject(release, INFINITE);
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    DestroyWindow(other);
  });
  WaitForSingleObject(created, INFINITE);
  uint64_t begin = GetTickCount64();
  EXPECT_FALSE(SendMessageTimeout(other, WM_USER, 1, 0, SMTO_NORMAL, 100, &answer));
  EXPECT_GE(GetTickCount64() - begin, 100u);
  EXPECT_FALSE(SendMessageTimeout(reinterpret_cast<HWND>(0x1234), WM_USER, 1, 0, SMTO_NORMAL, 100, &answer));
  SetEvent(release);
  busy.join();
  DestroyWindow(own);
  CloseHandle(created);
  CloseHandle(release);
  UnregisterClass("TimeoutTestClass", nullptr);
}

TEST(RegisteredMessages, SameNameSameNumberWhateverTheCase) {
  UINT first = RegisterWindowMessage("Orvane test message");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("ORVANE TEST MESSAGE"), first);
  EXPECT_NE(RegisterWindowMessage("another message"), first);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

class FakeCarrier : public platform::WindowCarrier {
 public:
  static HWND handle() { return reinterpret_cast<HWND>(platform::kFirstCarriedWindow + 8); }
  bool carries(HWND window) override { return window == handle(); }
  BOOL post(HWND, UINT message, WPARAM, LPARAM) override {
    posted.push_back(message);
    return TRUE;
  }
  LRESULT send(HWND, UINT message, WPARAM wParam, LPARAM) override { return message + wParam; }
  std::vector<UINT> posted;
};

TEST(WindowCarriers, CarryMessagesForWindowsThatAreNotLocal) {
  FakeCarrier carrier;
  EXPECT_FALSE(IsWindow(FakeCarrier::handle()));
  platform::installWindowCarrier(&carrier);
  EXPECT_TRUE(IsWindow(FakeCarrier::handle()));
  EXPECT_TRUE(PostMessage(FakeCarrier::handle(), WM_COPYDATA, 0, 0));
  EXPECT_EQ(SendMessage(FakeCarrier::handle(), WM_USER, 5, 0), WM_USER + 5);
  EXPECT_EQ(carrier.posted, std::vector<UINT>{WM_COPYDATA});
  platform::removeWindowCarrier(&carrier);
  EXPECT_FALSE(PostMessage(FakeCarrier::handle(), WM_COPYDATA, 0, 0));
}

}  // namespace
