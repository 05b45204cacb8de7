// The control pipe's server on its own thread, with clients of the
// platform's pipes: commands, listings, dropped clients and the watchdog.
#include "pipe_server.h"
#include "service_threads.h"

#include "platform/errors.h"
#include "platform/tick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace pollhost {
namespace {

constexpr char kPipeName[] = "Pipe Server Test";
constexpr uint64_t kPatience = 20000;

std::atomic<uint64_t> fakeSeconds{1000};
uint64_t fakeClock() { return fakeSeconds.load(); }

class PipeServerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.open()) << GetLastError();
    ASSERT_TRUE(thread.start());
  }
  void TearDown() override {
    thread.stop();
    EXPECT_EQ(failure.load(), 0u);
  }

  HANDLE connect() {
    std::string path = std::string("\\\\.\\pipe\\") + kPipeName;
    HANDLE pipe = CreateFile(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(pipe, INVALID_HANDLE_VALUE);
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    return pipe;
  }

  bool write(HANDLE pipe, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
  }

  // The answer's messages, each whole with its marker; empty when the
  // server dropped the client instead.
  std::vector<std::string> ask(HANDLE pipe, const std::string& command) {
    std::vector<std::string> messages;
    if (!write(pipe, std::string(command.c_str(), command.size() + 1))) return messages;
    char buffer[kPipeBufferSize];
    for (int i = 0; i < 100; ++i) {
      DWORD got = 0;
      if (!ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
      messages.emplace_back(buffer, got);
      if (messages.back().back() != '>') break;
    }
    return messages;
  }

  bool dropped(HANDLE pipe) {
    char byte;
    DWORD got = 0;
    return !ReadFile(pipe, &byte, 1, &got, nullptr) && GetLastError() == ERROR_BROKEN_PIPE;
  }

  // The client has just had an answer, and the server may record that as
  // a change a moment later than the client reads it: the clock moves on
  // past the limit until the watchdog drops the client.
  bool droppedWhenIdle(HANDLE pipe) {
    uint64_t deadline = GetTickCount64() + kPatience;
    while (server.state() != PipeServer::State::connecting && GetTickCount64() < deadline) {
      fakeSeconds += 16;
      if (!server.watchdog()) return false;
      Sleep(1);
    }
    return dropped(pipe);
  }

  bool waitForState(PipeServer::State wanted) {
    uint64_t deadline = GetTickCount64() + kPatience;
    while (server.state() != wanted) {
      if (GetTickCount64() > deadline) return false;
      Sleep(1);
    }
    return true;
  }

  Timing timing;
  Poller poller{timing};
  CommandAnswers answers{poller, 0};
  PipeServer server{answers, kPipeName, 15, fakeClock};
  std::atomic<DWORD> failure{0};
  PipeThread thread{server, [this](DWORD error) { failure = error ? error : 1; }};
};

TEST_F(PipeServerTest, AnswersCommandsOnOneConnectionUntilClose) {
  HANDLE pipe = connect();
  EXPECT_EQ(ask(pipe, "a 10.0.0.7"), std::vector<std::string>{"OK\r\n."});
  EXPECT_EQ(ask(pipe, "a 10.0.0.8"), std::vector<std::string>{"OK\r\n."});
  std::vector<std::string> listing = ask(pipe, "va");
  ASSERT_EQ(listing.size(), 3u);
  EXPECT_EQ(listing[0].rfind("\r\nDescriptor index: 0\r\nRemote agent address: 10.0.0.7\r\n", 0), 0u);
  EXPECT_EQ(listing[0].substr(listing[0].size() - 3), "\r\n>");
  EXPECT_EQ(listing[1].rfind("\r\nDescriptor index: 1\r\nRemote agent address: 10.0.0.8\r\n", 0), 0u);
  EXPECT_EQ(listing[2], ".");
  EXPECT_EQ(ask(pipe, "r 10.0.0.7"), std::vector<std::string>{"OK\r\n."});
  EXPECT_EQ(ask(pipe, "v1"), std::vector<std::string>{"10.0.0.8\r\n."});
  EXPECT_EQ(ask(pipe, "c"), std::vector<std::string>{"\r\n."});
  EXPECT_TRUE(dropped(pipe));
  CloseHandle(pipe);

  HANDLE next = connect();
  EXPECT_EQ(ask(next, "v1"), std::vector<std::string>{"10.0.0.8\r\n."});
  CloseHandle(next);
}

TEST_F(PipeServerTest, EmptyListingIsTheEndMarkerAlone) {
  HANDLE pipe = connect();
  EXPECT_EQ(ask(pipe, "va"), std::vector<std::string>{"."});
  CloseHandle(pipe);
}

TEST_F(PipeServerTest, UnknownOrMalformedCommandsGetNoAnswerAndTheClientIsDropped) {
  std::vector<std::string> bad = {std::string("x", 2), std::string("v", 1), std::string("v\0x", 3),
                                  std::string("a \x80\x81", 5), std::string(25000, 'v')};
  for (const std::string& message : bad) {
    HANDLE pipe = connect();
    ASSERT_TRUE(write(pipe, message));
    EXPECT_TRUE(dropped(pipe)) << message.substr(0, 8);
    CloseHandle(pipe);
  }
  HANDLE pipe = connect();
  EXPECT_EQ(ask(pipe, "v1"), std::vector<std::string>{"."});
  CloseHandle(pipe);
}

TEST_F(PipeServerTest, ClientThatLeavesWithoutClosingIsForgotten) {
  HANDLE pipe = connect();
  ASSERT_TRUE(waitForState(PipeServer::State::reading));
  CloseHandle(pipe);
  ASSERT_TRUE(waitForState(PipeServer::State::connecting));
  HANDLE next = connect();
  EXPECT_EQ(ask(next, "v1"), std::vector<std::string>{"."});
  CloseHandle(next);
}

TEST_F(PipeServerTest, WatchdogDropsAClientThatLeavesThePipeUnchanged) {
  HANDLE pipe = connect();
  ASSERT_TRUE(waitForState(PipeServer::State::reading));
  EXPECT_TRUE(server.watchdog());
  fakeSeconds += 15;
  EXPECT_TRUE(server.watchdog());
  EXPECT_EQ(server.state(), PipeServer::State::reading);
  fakeSeconds += 1;
  EXPECT_TRUE(server.watchdog());
  EXPECT_TRUE(dropped(pipe));
  CloseHandle(pipe);

  // After an answer the limit counts from the answer on.
  pipe = connect();
  EXPECT_EQ(ask(pipe, "v1"), std::vector<std::string>{"."});
  fakeSeconds += 15;
  EXPECT_TRUE(server.watchdog());
  EXPECT_EQ(ask(pipe, "v1"), std::vector<std::string>{"."});
  EXPECT_TRUE(droppedWhenIdle(pipe));
  CloseHandle(pipe);

  // Waiting for a client is no idleness.
  fakeSeconds += 100;
  EXPECT_TRUE(server.watchdog());
  pipe = connect();
  EXPECT_EQ(ask(pipe, "v1"), std::vector<std::string>{"."});
  CloseHandle(pipe);
}

TEST_F(PipeServerTest, SecondServerOfTheNameCannotOpen) {
  PipeServer second(answers, kPipeName, 15);
  EXPECT_FALSE(second.open());  // the name is taken
}

}  // namespace
}  // namespace pollhost
