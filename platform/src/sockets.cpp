// Sockets layer on POSIX: the start-up is bookkeeping only.
#include "platform/sockets.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
std::atomic<long> startupCalls{0};
std::atomic<int> nextStartupFailure{0};
std::atomic<int> nextCleanupFailure{0};
}  // namespace

int WSAStartup(WORD versionRequested, LPWSADATA data) {
  startupCalls.fetch_add(1);
  if (int error = nextStartupFailure.exchange(0)) return error;
  if (data) {
    std::memset(data, 0, sizeof *data);
    data->wVersion = versionRequested;
    data->wHighVersion = MAKEWORD(2, 2);
    data->iMaxUdpDg = 65467;
    std::strcpy(data->szDescription, "POSIX sockets");
    std::strcpy(data->szSystemStatus, "Running");
  }
  return 0;
}

int WSACleanup() {
  if (int error = nextCleanupFailure.exchange(0)) {
    errno = error;
    return SOCKET_ERROR;
  }
  return 0;
}

int WSAGetLastError() { return errno; }

void WSASetLastError(int error) { errno = error; }

int closesocket(SOCKET socket) { return close(socket); }

int ioctlsocket(SOCKET socket, long command, unsigned long* argument) {
  int value = argument ? static_cast<int>(*argument) : 0;
  int result = ioctl(socket, static_cast<unsigned long>(command), &value);
  if (result == 0 && argument) *argument = static_cast<unsigned long>(value);
  return result;
}

namespace platform {

long socketStartupCalls() { return startupCalls.load(); }
void failNextSocketStartup(int error) { nextStartupFailure.store(error); }
void failNextSocketCleanup(int error) { nextCleanupFailure.store(error); }

}  // namespace platform

int WSAPoll(LPWSAPOLLFD sockets, ULONG count, INT timeout) {
  return poll(sockets, count, timeout);
}
