// notifyd as its clients see it: registration by window message, records
// forwarded as copy-data blocks, windows that are gone dropped, and its
// command line.
#include "background_process.h"
#include "net_snmp_agent.h"
#include "trap_server.h"

#include "notifyd/trap_server.h"
#include "platform/messages.h"
#include "platform/process_windows.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;

std::vector<std::vector<uint8_t>> received;
std::vector<HWND> receivers;  // the window each record came to

LRESULT CALLBACK clientWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProc(window, message, wParam, lParam);
  auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  auto* octets = static_cast<const uint8_t*>(block->lpData);
  received.emplace_back(octets, octets + block->cbData);
  receivers.push_back(window);
  return TRUE;
}

class NotifydServer : public testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    receivers.clear();
    ASSERT_TRUE(server.start());
    serverWindow = FindWindow(trapserver::kServerClass, trapserver::kServerTitle);
    ASSERT_NE(serverWindow, nullptr);
    request = RegisterWindowMessage(trapserver::kInterApplicationMessage);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = clientWindow;
    windowClass.lpszClassName = "Orvane_test_trap_client";
    RegisterClass(&windowClass);
  }
  void TearDown() override { UnregisterClass("Orvane_test_trap_client", nullptr); }

  HWND publishedClient() {
    HWND window = CreateWindow("Orvane_test_trap_client", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(platform::publishWindow(window));
    return window;
  }
  LRESULT registerWindow(HWND window) {
    return SendMessage(serverWindow, request, trapserver::kRegister, reinterpret_cast<LPARAM>(window));
  }
  // Dispatches this thread's messages until `count` records came.
  bool waitForRecords(size_t count) {
    auto deadline = std::chrono::steady_clock::now() + 30s;
    while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
      MSG message;
      while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return received.size() >= count;
  }

  TrapServer server;
  HWND serverWindow = nullptr;
  UINT request = 0;
};

TEST_F(NotifydServer, ForwardsEveryDatagramAsATrapRecordToEachRegisteredWindow) {
  HWND first = publishedClient(), second = publishedClient();
  LRESULT firstId = registerWindow(first);
  EXPECT_GT(firstId, 0);
  EXPECT_EQ(registerWindow(first), firstId);  // registering again keeps the identifier
  EXPECT_GT(registerWindow(second), firstId);
  ASSERT_TRUE(sendDatagram(server.port(), "any octets at all"));
  ASSERT_TRUE(waitForRecords(2));
  for (const std::vector<uint8_t>& record : received) {
    std::optional<trapserver::RecordView> view = trapserver::readRecord(record.data(), record.size());
    ASSERT_TRUE(view);
    EXPECT_EQ(trapserver::getWord(&record[4]), record.size());
    EXPECT_NE(record[trapserver::kSenderPortOffset] | record[trapserver::kSenderPortOffset + 1], 0);
    EXPECT_EQ(std::vector<uint8_t>(view->sender, view->sender + 4), (std::vector<uint8_t>{127, 0, 0, 1}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view->message), view->length), "any octets at all");
  }
  EXPECT_EQ(receivers, (std::vector<HWND>{first, second}));
  // Unregistered: the next datagram reaches the second window only (it
  // would have come to the first, registered earlier, before).
  PostMessage(serverWindow, request, trapserver::kUnregister, firstId);
  ASSERT_NE(server.waitForLog("registration " + std::to_string(firstId) + " "), "");
  ASSERT_TRUE(sendDatagram(server.port(), "second"));
  ASSERT_TRUE(waitForRecords(3));
  EXPECT_EQ(receivers, (std::vector<HWND>{first, second, second}));
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST_F(NotifydServer, DropsWindowsThatAreGoneAndRefusesWhatIsNoWindow) {
  EXPECT_EQ(registerWindow(reinterpret_cast<HWND>(0x123400010010)), 0);
  HWND staying = publishedClient(), leaving = publishedClient();
  registerWindow(staying);
  LRESULT leavingId = registerWindow(leaving);
  DestroyWindow(leaving);
  ASSERT_TRUE(sendDatagram(server.port(), "trap"));
  ASSERT_TRUE(waitForRecords(1));
  EXPECT_NE(server.waitForLog("registration " + std::to_string(leavingId) + " (window"), "");
  std::string log = server.stop();
  EXPECT_NE(log.find("dropped: the window is gone"), std::string::npos) << log;
  EXPECT_NE(log.find("stopped after 1 traps received, 0 dropped, 1 copies handed over"), std::string::npos) << log;
  DestroyWindow(staying);
}

TEST(NotifydProgram, RefusesBadOptionsASecondServerAndABusyPort) {
  ProgramRun help = runProgram({ORVANE_NOTIFYD_PATH, "--help"}, 30s);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.output.starts_with("Usage: notifyd [--port N] [--address A]")) << help.output;
  for (std::vector<std::string> bad : {std::vector<std::string>{"--port", "0"}, {"--port", "65536"}, {"--port"},
                                       {"--address", "localhost"}, {"--verbose"}}) {
    bad.insert(bad.begin(), ORVANE_NOTIFYD_PATH);
    ProgramRun run = runProgram(bad, 30s);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find("Usage: notifyd"), std::string::npos);
  }
  ProgramRun badEnvironment = runProgram({ORVANE_NOTIFYD_PATH}, 30s, {"ORVANE_NOTIFYD_PORT=trap"});
  EXPECT_EQ(badEnvironment.exitCode, 2);
  EXPECT_NE(badEnvironment.output.find("ORVANE_NOTIFYD_PORT is not a port number: trap"), std::string::npos);

  TrapServer first;
  ASSERT_TRUE(first.start());
  ProgramRun busy = runProgram({ORVANE_NOTIFYD_PATH, "--address", "127.0.0.1", "--port", std::to_string(first.port())}, 30s);
  EXPECT_EQ(busy.exitCode, 1);
  EXPECT_NE(busy.output.find("cannot receive on 127.0.0.1:" + std::to_string(first.port())), std::string::npos);
  ProgramRun second = runProgram({ORVANE_NOTIFYD_PATH, "--address", "127.0.0.1", "--port",
                                  std::to_string(freeLoopbackPort())}, 30s);
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.output.find("another trap server is running"), std::string::npos) << second.output;
}

}  // namespace
