// Local pipes: message-mode duplex pipes between the processes of one
// computer, a server end that waits for clients and a client end that
// opens it by name, with overlapped operations whose completion signals
// an event.
//
// On POSIX a pipe "\\.\pipe\NAME" is a Unix SOCK_SEQPACKET socket
// "pipe-NAME" in the runtime folder (runtime_folder.h), so one write is
// one message and message boundaries hold. What differs from Windows:
// - Pipes never reach across the network: a name with a computer other
//   than "." fails with ERROR_BAD_NETPATH.
// - Access is the owner's only, or the owner's and one group's (see
//   PipeSecurity); the server also checks every client's credentials when
//   it accepts it, and closes clients it refuses.
// - One instance per name: a second server of a live name, in this process
//   or another, fails with ERROR_ACCESS_DENIED. Clients that connect while
//   the instance serves another wait in line (up to 16), so
//   ERROR_PIPE_BUSY means that line is full.
// - One overlapped operation at a time per handle.
// - Data the client has not read yet stays readable after
//   DisconnectNamedPipe, so FlushFileBuffers has nothing to wait for.
// - A zero-length write sends nothing; a read that finds the other end
//   closed fails with ERROR_BROKEN_PIPE, a write with ERROR_NO_DATA.
// - WaitNamedPipe cannot watch the line of waiting clients: while the
//   pipe exists it pauses briefly (at most 100 ms) and returns TRUE.
// Errors are reported through GetLastError (errors.h).
#pragma once

#include "platform/export.h"
#include "platform/waits.h"
#include "platform/win32_types.h"

#include <cstdint>

#if !defined(_WIN32)
#  define PIPE_ACCESS_INBOUND 0x00000001u
#  define PIPE_ACCESS_OUTBOUND 0x00000002u
#  define PIPE_ACCESS_DUPLEX 0x00000003u
#  define FILE_FLAG_FIRST_PIPE_INSTANCE 0x00080000u
#  define FILE_FLAG_OVERLAPPED 0x40000000u
#  define PIPE_TYPE_BYTE 0x00000000u
#  define PIPE_TYPE_MESSAGE 0x00000004u
#  define PIPE_READMODE_BYTE 0x00000000u
#  define PIPE_READMODE_MESSAGE 0x00000002u
#  define PIPE_WAIT 0x00000000u
#  define PIPE_UNLIMITED_INSTANCES 255u
#  define NMPWAIT_USE_DEFAULT_WAIT 0x00000000u
#  define NMPWAIT_WAIT_FOREVER 0xFFFFFFFFu
#  define GENERIC_READ 0x80000000u
#  define GENERIC_WRITE 0x40000000u
#  define OPEN_EXISTING 3u
#  define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
// OVERLAPPED.Internal while the operation is in progress.
#  define STATUS_PENDING 0x00000103u

// Internal holds STATUS_PENDING while the operation runs, then its error
// code (0 for success); InternalHigh the bytes transferred. Another thread
// finishes a pending operation, so read them (or HasOverlappedIoCompleted)
// only once the event is signalled; GetOverlappedResult may be asked at
// any time.
struct OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};
typedef OVERLAPPED* LPOVERLAPPED;
#  define HasOverlappedIoCompleted(overlapped) ((overlapped)->Internal != STATUS_PENDING)

// The server end. `name` is "\\.\pipe\NAME"; only message type with
// either read mode and PIPE_WAIT are served. `security` null, or made by
// PipeSecurity. INVALID_HANDLE_VALUE on failure.
PLATFORM_API HANDLE CreateNamedPipeA(LPCSTR name, DWORD openMode, DWORD pipeMode, DWORD maxInstances,
                                     DWORD outBufferSize, DWORD inBufferSize, DWORD defaultTimeout,
                                     LPSECURITY_ATTRIBUTES security);
// Waits for a client. Overlapped: FALSE with ERROR_IO_PENDING while none
// has come (the event is signalled when one does), FALSE with
// ERROR_PIPE_CONNECTED when one was already waiting.
PLATFORM_API BOOL ConnectNamedPipe(HANDLE pipe, LPOVERLAPPED overlapped);
// Drops the client; a pending operation completes with
// ERROR_PIPE_NOT_CONNECTED (its event signalled).
PLATFORM_API BOOL DisconnectNamedPipe(HANDLE pipe);
PLATFORM_API BOOL FlushFileBuffers(HANDLE pipe);

// The client end: `name` as above, OPEN_EXISTING. ERROR_FILE_NOT_FOUND
// when no server listens, ERROR_PIPE_BUSY when its line is full.
PLATFORM_API HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                                DWORD creation, DWORD flags, HANDLE templateFile);
PLATFORM_API BOOL WaitNamedPipeA(LPCSTR name, DWORD timeout);
// Only the read mode can be set.
PLATFORM_API BOOL SetNamedPipeHandleState(HANDLE pipe, DWORD* mode, DWORD* maxCollectionCount,
                                          DWORD* collectDataTimeout);

// One message per write. In message read mode a read of a message longer
// than the buffer fills the buffer and fails with ERROR_MORE_DATA; the
// following reads return the rest. Overlapped: TRUE or FALSE at once when
// the operation completed at once (the event signalled too), else FALSE
// with ERROR_IO_PENDING.
PLATFORM_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, DWORD* read, LPOVERLAPPED overlapped);
PLATFORM_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, DWORD* written,
                            LPOVERLAPPED overlapped);
// The outcome of an overlapped operation: ERROR_IO_INCOMPLETE while it
// runs, unless `wait` asks to wait for its event.
PLATFORM_API BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, DWORD* transferred, BOOL wait);

#  define CreateNamedPipe CreateNamedPipeA
#  define CreateFile CreateFileA
#  define WaitNamedPipe WaitNamedPipeA
#endif

namespace platform {

#if !defined(_WIN32)
// What a pipe's security descriptor says here: whether one group shares
// the owner's access. Only PipeSecurity makes it.
struct PipeAccessRule {
  uint32_t marker;
  uint32_t groupAllowed;
  uint32_t groupId;
};
#endif

// The security attributes of a pipe that only its owner (and, if asked,
// the members of one group) may open.
class PLATFORM_API PipeSecurity {
 public:
  PipeSecurity();
  PipeSecurity(const PipeSecurity&) = delete;
  PipeSecurity& operator=(const PipeSecurity&) = delete;

  // Lets the members of the group named open the pipe too; false (and
  // nothing changed) when there is no such group.
  [[nodiscard]] bool allowGroup(const char* groupName);
  LPSECURITY_ATTRIBUTES attributes() { return &attributes_; }

 private:
  SECURITY_ATTRIBUTES attributes_;
#if !defined(_WIN32)
  PipeAccessRule rule_;
#endif
};

}  // namespace platform
