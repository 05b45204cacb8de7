// The sockets layer start-up and the few socket calls whose names differ
// between Windows Sockets and POSIX. On POSIX there is nothing to start:
// WSAStartup and WSACleanup succeed, and socket errors are errno values.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
#  include <cerrno>
#  include <poll.h>
#  include <sys/ioctl.h>
#  include <sys/socket.h>

#  define WSADESCRIPTION_LEN 256
#  define WSASYS_STATUS_LEN 128
#  define MAKEWORD(low, high) \
     static_cast<WORD>((static_cast<BYTE>(low)) | (static_cast<WORD>(static_cast<BYTE>(high)) << 8))
#  define LOBYTE(w) static_cast<BYTE>((w) & 0xff)
#  define HIBYTE(w) static_cast<BYTE>(((w) >> 8) & 0xff)

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
};
typedef WSADATA* LPWSADATA;

typedef int SOCKET;
#  define INVALID_SOCKET (-1)
#  define SOCKET_ERROR (-1)

// Error numbers are errno values here; the layer needs no start-up, so
// WSANOTINITIALISED never occurs.
#  define WSAEINTR EINTR
#  define WSAENOTSOCK ENOTSOCK
#  define WSAENETDOWN ENETDOWN
#  define WSANOTINITIALISED 10093

typedef pollfd WSAPOLLFD;
typedef WSAPOLLFD* LPWSAPOLLFD;
PLATFORM_API int WSAPoll(LPWSAPOLLFD sockets, ULONG count, INT timeout);

PLATFORM_API int WSAStartup(WORD versionRequested, LPWSADATA data);
PLATFORM_API int WSACleanup();
PLATFORM_API int WSAGetLastError();
PLATFORM_API void WSASetLastError(int error);
PLATFORM_API int closesocket(SOCKET socket);
// Only FIONREAD (bytes of the next datagram waiting) and FIONBIO are used.
PLATFORM_API int ioctlsocket(SOCKET socket, long command, unsigned long* argument);
#endif

namespace platform {

// Waits until one of the sockets has an event it asks for, or the calling
// thread's message queue (created if needed) has input, or the time is up.
// Returns how many sockets have events (their revents set), 0 for messages
// or time-out, SOCKET_ERROR on failure (ECANCELED: the thread was
// terminated). The seam where a Windows build would use WSAEventSelect.
PLATFORM_API int waitForSocketsOrMessages(LPWSAPOLLFD sockets, ULONG count, DWORD timeout);

// Test support: how many times WSAStartup ran in this process, and an
// error number the next WSAStartup or WSACleanup fails with (0: none).
PLATFORM_API long socketStartupCalls();
PLATFORM_API void failNextSocketStartup(int error);
PLATFORM_API void failNextSocketCleanup(int error);

}  // namespace platform
