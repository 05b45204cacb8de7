#include "platform/errors.h"
#include "platform/pipes.h"
#include "platform/runtime_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kPipeName[] = "\\\\.\\pipe\\Test Pipe";
constexpr DWORD kPatience = 10000;

HANDLE createServer(LPSECURITY_ATTRIBUTES security = nullptr) {
  return CreateNamedPipe(kPipeName, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 20000,
                         20000, 5000, security);
}

HANDLE openClient() {
  HANDLE client = CreateFile(kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (client == INVALID_HANDLE_VALUE) return client;
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(client, &mode, nullptr, nullptr);
  return client;
}

std::string socketPath() { return platform::runtimeFolder() + "/pipe-Test Pipe"; }

// A server end with its overlapped record and event, connected to a client.
struct ConnectedPair : testing::Test {
  void SetUp() override {
    event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    overlapped.hEvent = event;
    server = createServer();
    ASSERT_NE(server, INVALID_HANDLE_VALUE) << GetLastError();
    ASSERT_FALSE(ConnectNamedPipe(server, &overlapped));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    client = openClient();
    ASSERT_NE(client, INVALID_HANDLE_VALUE) << GetLastError();
    ASSERT_EQ(WaitForSingleObject(event, kPatience), WAIT_OBJECT_0);
    DWORD transferred = 99;
    ASSERT_TRUE(GetOverlappedResult(server, &overlapped, &transferred, FALSE));
  }
  void TearDown() override {
    if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
    CloseHandle(server);
    CloseHandle(event);
  }

  // Starts an overlapped read on the server and waits for its outcome.
  BOOL serverRead(char* buffer, DWORD size, DWORD& got) {
    if (ReadFile(server, buffer, size, &got, &overlapped)) return TRUE;
    if (GetLastError() != ERROR_IO_PENDING) return FALSE;
    if (WaitForSingleObject(event, kPatience) != WAIT_OBJECT_0) return FALSE;
    return GetOverlappedResult(server, &overlapped, &got, FALSE);
  }

  HANDLE event = nullptr;
  OVERLAPPED overlapped{};
  HANDLE server = INVALID_HANDLE_VALUE;
  HANDLE client = INVALID_HANDLE_VALUE;
};

TEST_F(ConnectedPair, CarriesOneMessagePerWriteBothWays) {
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(client, "first", 6, &done, nullptr));
  ASSERT_TRUE(WriteFile(client, "second", 7, &done, nullptr));
  char buffer[64];
  DWORD got = 0;
  ASSERT_TRUE(serverRead(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 6u);
  EXPECT_STREQ(buffer, "first");
  ASSERT_TRUE(serverRead(buffer, sizeof buffer, got));
  EXPECT_STREQ(buffer, "second");

  ASSERT_TRUE(WriteFile(server, "answer.", 7, &done, &overlapped) ||
              (GetLastError() == ERROR_IO_PENDING && GetOverlappedResult(server, &overlapped, &done, TRUE)));
  EXPECT_EQ(done, 7u);
  ASSERT_TRUE(ReadFile(client, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "answer.");
}

TEST_F(ConnectedPair, PendingReadCompletesWhenTheClientWrites) {
  char buffer[64];
  DWORD got = 0;
  ASSERT_FALSE(ReadFile(server, buffer, sizeof buffer, &got, &overlapped));
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_FALSE(GetOverlappedResult(server, &overlapped, &got, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));
  EXPECT_FALSE(HasOverlappedIoCompleted(&overlapped));
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(client, "late", 5, &done, nullptr));
  ASSERT_EQ(WaitForSingleObject(event, kPatience), WAIT_OBJECT_0);
  ASSERT_TRUE(GetOverlappedResult(server, &overlapped, &got, FALSE));
  EXPECT_EQ(got, 5u);
  EXPECT_STREQ(buffer, "late");
}

TEST_F(ConnectedPair, LongMessageIsReadInPiecesWithMoreDataUntilItsEnd) {
  std::string message(3000, 'x');
  message.back() = '.';
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(server, message.data(), static_cast<DWORD>(message.size()), &done, &overlapped) ||
              GetOverlappedResult(server, &overlapped, &done, TRUE));
  ASSERT_TRUE(WriteFile(server, "next.", 5, &done, &overlapped) ||
              GetOverlappedResult(server, &overlapped, &done, TRUE));
  std::string assembled;
  char piece[1024];
  DWORD got = 0;
  int pieces = 0;
  for (BOOL complete = FALSE; !complete && pieces < 10; ++pieces) {
    complete = ReadFile(client, piece, sizeof piece, &got, nullptr);
    ASSERT_TRUE(complete || GetLastError() == ERROR_MORE_DATA);
    assembled.append(piece, got);
  }
  EXPECT_EQ(pieces, 3);
  EXPECT_EQ(assembled, message);
  ASSERT_TRUE(ReadFile(client, piece, sizeof piece, &got, nullptr));
  EXPECT_EQ(std::string(piece, got), "next.");
}

TEST_F(ConnectedPair, OversizedCommandIsReportedAsMoreData) {
  std::string command(200, 'v');
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(client, command.data(), static_cast<DWORD>(command.size()), &done, nullptr));
  char buffer[100];
  DWORD got = 0;
  EXPECT_FALSE(serverRead(buffer, sizeof buffer, got));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(got, 100u);
}

TEST_F(ConnectedPair, ClientThatLeavesEndsThePendingReadWithBrokenPipe) {
  char buffer[64];
  DWORD got = 0;
  ASSERT_FALSE(ReadFile(server, buffer, sizeof buffer, &got, &overlapped));
  CloseHandle(client);
  client = INVALID_HANDLE_VALUE;
  ASSERT_EQ(WaitForSingleObject(event, kPatience), WAIT_OBJECT_0);
  EXPECT_FALSE(GetOverlappedResult(server, &overlapped, &got, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
  DWORD done = 0;
  EXPECT_FALSE(WriteFile(server, "x", 1, &done, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_DATA));
}

TEST_F(ConnectedPair, DisconnectEndsThePendingReadAndTheServerTakesTheNextClient) {
  char buffer[64];
  DWORD got = 0;
  ASSERT_FALSE(ReadFile(server, buffer, sizeof buffer, &got, &overlapped));
  ASSERT_TRUE(DisconnectNamedPipe(server));
  ASSERT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_FALSE(GetOverlappedResult(server, &overlapped, &got, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_NOT_CONNECTED));
  // The dropped client learns it at its next read.
  EXPECT_FALSE(ReadFile(client, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));

  HANDLE second = openClient();
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  // A client already waiting is reported at once, without the event.
  EXPECT_FALSE(ConnectNamedPipe(server, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_CONNECTED));
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(second, "c", 2, &done, nullptr));
  ASSERT_TRUE(serverRead(buffer, sizeof buffer, got));
  EXPECT_STREQ(buffer, "c");
  CloseHandle(second);
}

TEST(Pipes, OpeningWithoutAServerOrOnAnotherComputerFails) {
  EXPECT_EQ(openClient(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(WaitNamedPipe(kPipeName, 2000));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFile("\\\\elsewhere\\pipe\\Test Pipe", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_NETPATH));
  EXPECT_EQ(CreateFile("\\\\.\\pipe\\a/b", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST(Pipes, NameBelongsToOneLiveServerAndIsFreedWhenItCloses) {
  HANDLE first = createServer();
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WaitNamedPipe(kPipeName, NMPWAIT_USE_DEFAULT_WAIT));
  EXPECT_EQ(createServer(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(first);
  struct stat status {};
  EXPECT_NE(stat(socketPath().c_str(), &status), 0);
  HANDLE second = createServer();
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  CloseHandle(second);
}

TEST(Pipes, SocketIsOwnerOnlyUnlessAGroupIsAllowed) {
  HANDLE server = createServer();
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  struct stat status {};
  ASSERT_EQ(stat(socketPath().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  CloseHandle(server);

  platform::PipeSecurity security;
  EXPECT_FALSE(security.allowGroup("no-such-group-here"));
  ASSERT_TRUE(security.allowGroup("daemon"));
  server = createServer(security.attributes());
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  ASSERT_EQ(stat(socketPath().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0660u);
  EXPECT_EQ(status.st_gid, 1u);  // daemon
  CloseHandle(server);
}

// Connects as another user (nobody) with plain socket calls only, as a
// forked child of a threaded process must, and reports whether the
// server answered before it closed the connection.
int connectAsNobody(const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    int connection = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(4);
    char byte;
    _exit(recv(connection, &byte, 1, 0) == 0 ? 0 : 5);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Pipes, ServerClosesClientsOfOtherUsersEvenWhenTheSocketIsOpenToThem) {
  if (geteuid() != 0) GTEST_SKIP() << "needs to switch users";
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED overlapped{};
  overlapped.hEvent = event;
  HANDLE server = createServer();
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  ASSERT_FALSE(ConnectNamedPipe(server, &overlapped));
  // Mistakes the check must survive: the folder and the socket opened up.
  std::string folder = platform::runtimeFolder();
  std::string socket = socketPath();
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  ASSERT_EQ(chmod(socket.c_str(), 0666), 0);
  int outcome = connectAsNobody(socket);
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(outcome, 0);  // closed without a word
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  HANDLE client = openClient();
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WaitForSingleObject(event, kPatience), WAIT_OBJECT_0);
  CloseHandle(client);
  CloseHandle(server);
  CloseHandle(event);
}

}  // namespace
