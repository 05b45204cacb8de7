// Opening the pipe and printing the service's answers.
#include "pipe_client.h"

#include "console_texts.h"
#include "polling_service.h"

#include "platform/errors.h"
#include "platform/pipes.h"

#include <cstdio>

namespace pollhost {
namespace {

constexpr int kOpenTries = 3;
constexpr DWORD kBusyWait = 2000;
constexpr DWORD kPieceSize = 1024;
// A service answers with at most one message per descriptor and one more.
constexpr int kMostMessages = 1000;

HANDLE openPipe() {
  std::string path = std::string("\\\\.\\pipe\\") + kServiceName;
  HANDLE pipe = INVALID_HANDLE_VALUE;
  int tries = 0;
  while (pipe == INVALID_HANDLE_VALUE && tries < kOpenTries) {
    ++tries;
    pipe = CreateFile(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE || GetLastError() != ERROR_PIPE_BUSY) break;
    WaitNamedPipe(path.c_str(), kBusyWait);
    std::printf(".");
    std::fflush(stdout);
  }
  if (pipe == INVALID_HANDLE_VALUE) {
    std::printf("Opening pipe failed. %s\r\n", systemErrorText(GetLastError()).c_str());
    return pipe;
  }
  if (tries > 1) std::printf("\r\n");
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
  return pipe;
}

// Prints the answer: a piece that is only part of a message whole, a
// message's last piece without its marker; reading goes on while the
// marker says that another message follows. False when the service
// dropped the connection.
bool exchange(HANDLE pipe, const std::string& command) {
  DWORD written = 0;
  if (!WriteFile(pipe, command.c_str(), static_cast<DWORD>(command.size() + 1), &written, nullptr)) return false;
  char piece[kPieceSize];
  for (int messages = 0; messages < kMostMessages;) {
    DWORD got = 0;
    if (!ReadFile(pipe, piece, sizeof piece, &got, nullptr)) {
      if (GetLastError() != ERROR_MORE_DATA) return false;
      std::fwrite(piece, 1, got, stdout);
      continue;
    }
    ++messages;
    if (got == 0) return true;
    std::fwrite(piece, 1, got - 1, stdout);
    std::fflush(stdout);
    if (piece[got - 1] != '>') return true;
  }
  return true;
}

}  // namespace

void talkToService(const std::vector<std::string>& commands) {
  HANDLE pipe = openPipe();
  if (pipe == INVALID_HANDLE_VALUE) return;
  for (const std::string& command : commands) {
    if (!exchange(pipe, command)) break;
  }
  std::printf("\r\n");
  CloseHandle(pipe);
}

}  // namespace pollhost
