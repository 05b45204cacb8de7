#include "platform/gui_bridge.h"

#include "gui_application.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

using platform::gui::BridgedWindow;

namespace {

struct Delivery {
  UINT message;
  WPARAM wParam;
  bool onGuiThread;
};

class BridgedWindows : public testing::Test {
 protected:
  void SetUp() override { guiApplication(); }

  // A window that records what it gets and answers wParam * 2.
  std::unique_ptr<BridgedWindow> recordingWindow() {
    return std::make_unique<BridgedWindow>([this](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
      deliveries.push_back({message, wParam, QThread::currentThread() == qApp->thread()});
      return static_cast<LRESULT>(wParam * 2);
    });
  }

  std::vector<Delivery> deliveries;
};

TEST_F(BridgedWindows, PostsFromOtherThreadsArriveInTheEventLoopInOrder) {
  auto window = recordingWindow();
  HWND handle = window->handle();
  constexpr int kCount = 200;
  std::atomic<int> refused{0};
  std::thread poster([&] {
    for (int i = 0; i < kCount; ++i)
      if (!PostMessage(handle, WM_USER + 1, static_cast<WPARAM>(i), 0)) ++refused;
  });
  poster.join();
  ASSERT_EQ(refused, 0);
  EXPECT_TRUE(deliveries.empty()) << "a post is handled in the event loop, not inside PostMessage";
  ASSERT_TRUE(processEventsUntil([&] { return deliveries.size() == kCount; }));
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(deliveries[i].wParam, static_cast<WPARAM>(i));
    EXPECT_TRUE(deliveries[i].onGuiThread);
  }
}

TEST_F(BridgedWindows, SendFromAnotherThreadWaitsForTheAnswer) {
  auto window = recordingWindow();
  std::atomic<LRESULT> answer{-1};
  std::thread sender([&, handle = window->handle()] { answer = SendMessage(handle, WM_USER + 2, 21, 0); });
  EXPECT_TRUE(processEventsUntil([&] { return answer != -1; }));
  sender.join();
  EXPECT_EQ(answer, 42);
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_TRUE(deliveries[0].onGuiThread);
}

TEST_F(BridgedWindows, SendOnTheOwnThreadIsADirectCall) {
  auto window = recordingWindow();
  EXPECT_EQ(SendMessage(window->handle(), WM_USER + 3, 5, 0), 10);
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].message, WM_USER + 3);
}

// A sender whose target window sends back to it (as a library's thread may
// while the GUI answers it) is answered meanwhile instead of deadlocking.
TEST_F(BridgedWindows, ASenderAnswersWhatIsSentToItWhileItWaits) {
  constexpr char kClass[] = "Orvane_bridge_test_worker";
  WNDCLASSA workerClass{};
  workerClass.lpfnWndProc = [](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    return message == WM_USER + 5 ? static_cast<LRESULT>(wParam + 1) : 0;
  };
  workerClass.lpszClassName = kClass;
  RegisterClass(&workerClass);
  std::atomic<HWND> workerWindow{nullptr};
  BridgedWindow window([&](HWND, UINT, WPARAM wParam, LPARAM) -> LRESULT {
    return SendMessage(workerWindow.load(), WM_USER + 5, wParam, 0) * 10;
  });
  std::atomic<LRESULT> answer{-1};
  std::thread worker([&, handle = window.handle()] {
    workerWindow = CreateWindow(kClass, "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    answer = SendMessage(handle, WM_USER + 4, 6, 0);
    DestroyWindow(workerWindow);
  });
  EXPECT_TRUE(processEventsUntil([&] { return answer != -1; }));
  worker.join();
  EXPECT_EQ(answer, 70);
}

TEST_F(BridgedWindows, ADestroyedWindowIsNoWindow) {
  auto window = recordingWindow();
  HWND handle = window->handle();
  EXPECT_TRUE(IsWindow(handle));
  ASSERT_TRUE(PostMessage(handle, WM_USER + 6, 1, 0));
  window.reset();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(PostMessage(handle, WM_USER + 6, 2, 0));
  EXPECT_EQ(SendMessage(handle, WM_USER + 6, 3, 0), 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(deliveries.empty()) << "what was posted before the end is dropped with the window";
}

TEST_F(BridgedWindows, EveryWindowHasItsOwnHandle) {
  auto first = recordingWindow();
  auto second = recordingWindow();
  EXPECT_NE(first->handle(), second->handle());
  ASSERT_TRUE(PostMessage(second->handle(), WM_USER + 7, 9, 0));
  ASSERT_TRUE(processEventsUntil([&] { return !deliveries.empty(); }));
  EXPECT_EQ(deliveries[0].wParam, 9u);
}

}  // namespace
