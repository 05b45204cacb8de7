// Windows across processes: finding a published window of another
// process, sending it messages with answers and data blocks, posting to
// it, and what happens when that process is gone.
#include "background_process.h"
#include "platform/messages.h"
#include "platform/process_windows.h"
#include "platform/tick.h"
#include "platform/waits.h"
#include "window_peer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <filesystem>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr char kPeerClass[] = "Orvane_test_peer_class";
constexpr char kPeerTitle[] = "Orvane test peer";

class OtherProcess : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.start({ORVANE_WINDOW_PEER_PATH, kPeerClass, kPeerTitle}));
    ASSERT_NE(peer.waitForLine("ready", 30s), "") << peer.stop();
    peerWindow = FindWindow(kPeerClass, kPeerTitle);
    ASSERT_NE(peerWindow, nullptr);
  }
  void TearDown() override {
    if (peerWindow) PostMessage(peerWindow, WM_CLOSE, 0, 0);
  }

  // Sends and waits with a generous bound, so that a fault fails the test
  // instead of hanging it.
  bool sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& answer) {
    return SendMessageTimeout(window, message, wParam, lParam, SMTO_NORMAL, 20000, &answer) != 0;
  }

  BackgroundProcess peer;
  HWND peerWindow = nullptr;
};

TEST_F(OtherProcess, FindsItsWindowByClassAndTitleWithoutCase) {
  EXPECT_EQ(FindWindow("ORVANE_TEST_PEER_CLASS", "orvane TEST peer"), peerWindow);
  EXPECT_EQ(FindWindow(kPeerClass, nullptr), peerWindow);
  EXPECT_EQ(FindWindow(kPeerClass, "another title"), nullptr);
  EXPECT_EQ(FindWindow("Another_class", kPeerTitle), nullptr);
  EXPECT_TRUE(IsWindow(peerWindow));
}

TEST_F(OtherProcess, AnswersSentMessagesAndReceivesCopyDataBlocks) {
  DWORD_PTR answer = 0;
  ASSERT_TRUE(sendWithin(peerWindow, kAdd, 40, 2, answer));
  EXPECT_EQ(answer, 42u);
  EXPECT_EQ(SendMessage(peerWindow, kAdd, static_cast<WPARAM>(-5), 3), -2);

  std::string block(70000, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i % 251);
  long long sum = 0;
  for (unsigned char octet : block) sum += octet;
  COPYDATASTRUCT data{3, static_cast<DWORD>(block.size()), block.data()};
  ASSERT_TRUE(sendWithin(peerWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), answer));
  EXPECT_EQ(static_cast<long long>(answer), 3000000LL + 70000LL * 1000 + sum);
  COPYDATASTRUCT empty{0, 0, nullptr};
  ASSERT_TRUE(sendWithin(peerWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty), answer));
  EXPECT_EQ(answer, 0u);
}

// Datagrams that are not whole messages for the socket's window are
// dropped; the window goes on answering.
TEST_F(OtherProcess, IgnoresDatagramsThatAreNotMessagesForItsWindow) {
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(peerWindow)));
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/windows/" + name;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int sender = socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_EQ(connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  uint8_t header[40] = {0x4F, 0x76, 0x57, 0x4D, 2, 0, 0, 0};  // a sent message for window 0
  const std::vector<std::vector<uint8_t>> garbage = {
      {}, {1, 2, 3}, std::vector<uint8_t>(header, header + 40), std::vector<uint8_t>(header, header + 39),
      std::vector<uint8_t>(4000, 0xFF)};
  for (const auto& datagram : garbage) send(sender, datagram.data(), datagram.size(), 0);
  close(sender);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(sendWithin(peerWindow, kAdd, 1, 2, answer));
  EXPECT_EQ(answer, 3u);
}

TEST_F(OtherProcess, ReceivesPostedMessagesInOrderBeforeALaterSend) {
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(PostMessage(peerWindow, kPosted, 0, 0));
  // A posted WM_COPYDATA would leave its block behind: refused, as on Windows.
  COPYDATASTRUCT data{0, 0, nullptr};
  EXPECT_FALSE(PostMessage(peerWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
  // Sent messages are handled before posted ones; wait for the posts.
  DWORD_PTR count = 0;
  uint64_t deadline = GetTickCount64() + 20000;
  while (sendWithin(peerWindow, kPostCount, 0, 0, count) && count < 50 && GetTickCount64() < deadline) Sleep(10);
  EXPECT_EQ(count, 50u);
}

LRESULT CALLBACK ownWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProc(window, message, wParam, lParam);
  auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  std::string text(static_cast<const char*>(block->lpData), block->cbData);
  return text == "peer" && block->dwData == 7 ? 99 : -1;
}

TEST_F(OtherProcess, CanSendBackWhileTheSenderWaitsForItsAnswer) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ownWindow;
  windowClass.lpszClassName = "Orvane_test_own_class";
  ASSERT_TRUE(RegisterClass(&windowClass));
  HWND own = CreateWindow("Orvane_test_own_class", "own", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(platform::publishWindow(own));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(sendWithin(peerWindow, kCallBack, 0, reinterpret_cast<LPARAM>(own), answer));
  EXPECT_EQ(answer, 99u);
  DestroyWindow(own);
  UnregisterClass("Orvane_test_own_class", nullptr);
}

TEST_F(OtherProcess, ASendTimesOutOnAHungWindow) {
  DWORD_PTR answer = 1;
  uint64_t begin = GetTickCount64();
  EXPECT_EQ(SendMessageTimeout(peerWindow, kHang, 0, 0, SMTO_ABORTIFHUNG, 300, &answer), 0);
  EXPECT_LT(GetTickCount64() - begin, 20000u);
  EXPECT_EQ(answer, 0u);
  peer.stop();
  peerWindow = nullptr;
}

TEST_F(OtherProcess, MessagesToAWindowWhoseProcessDiedFailAtOnce) {
  // The peer ends inside the handler: the send that caused it fails.
  DWORD_PTR answer = 1;
  EXPECT_FALSE(sendWithin(peerWindow, kDie, 0, 0, answer));
  int exitCode = -1;
  peer.finish(20s, exitCode);
  EXPECT_EQ(exitCode, 3);
  // It left its files behind; nothing reaches it, and nobody finds it.
  EXPECT_FALSE(IsWindow(peerWindow));
  EXPECT_FALSE(PostMessage(peerWindow, kPosted, 0, 0));
  EXPECT_EQ(SendMessage(peerWindow, kAdd, 1, 1), 0);
  EXPECT_FALSE(sendWithin(peerWindow, kAdd, 1, 1, answer));
  EXPECT_EQ(FindWindow(kPeerClass, kPeerTitle), nullptr);
  std::string folder = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/windows";
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  peerWindow = nullptr;
}

TEST(PublishedWindows, AreWithdrawnWhenDestroyedAndNoticeTheirEntryGoing) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "Orvane_test_published";
  ASSERT_TRUE(RegisterClass(&windowClass));
  HWND window = CreateWindow("Orvane_test_published", "t", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_FALSE(platform::windowStillPublished(window));
  ASSERT_TRUE(platform::publishWindow(window));
  ASSERT_TRUE(platform::publishWindow(window));  // once is enough
  EXPECT_TRUE(platform::windowStillPublished(window));
  std::string folder = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/windows";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
  std::filesystem::remove_all(folder);
  EXPECT_FALSE(platform::windowStillPublished(window));

  HWND second = CreateWindow("Orvane_test_published", "u", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(platform::publishWindow(second));
  DestroyWindow(second);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_FALSE(platform::publishWindow(second));
  DestroyWindow(window);
  UnregisterClass("Orvane_test_published", nullptr);
}

TEST(PublishedWindows, NeedAPrivateRuntimeFolder) {
  std::string folder = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/shared";
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all | std::filesystem::perms::group_all);
  std::string saved = std::getenv("ORVANE_RUNTIME_DIR");
  setenv("ORVANE_RUNTIME_DIR", folder.c_str(), 1);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "Orvane_test_private";
  ASSERT_TRUE(RegisterClass(&windowClass));
  HWND window = CreateWindow("Orvane_test_private", "t", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_FALSE(platform::publishWindow(window));
  setenv("ORVANE_RUNTIME_DIR", saved.c_str(), 1);
  DestroyWindow(window);
}

}  // namespace
