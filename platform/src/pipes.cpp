// The local pipe calls: creating server ends, opening client ends, and
// handing each operation to its end.
#include "platform/errors.h"
#include "platform/pipes.h"
#include "pipe_end.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace platform::detail;
using platform::errorFromErrno;

namespace {

constexpr int kWaitingClients = 16;
constexpr DWORD kLongestWaitPause = 100;

sockaddr_un socketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

HANDLE failWith(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

BOOL failCall(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The name belongs to the server that holds its lock file, so a socket
// left behind by a server that died is replaced and a live one is not.
int claimName(const PipeLocation& location, DWORD& error) {
  int lockFile = ::open(location.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFile < 0) {
    error = errorFromErrno(errno);
    return -1;
  }
  if (::flock(lockFile, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFile);
    error = ERROR_ACCESS_DENIED;
    return -1;
  }
  ::unlink(location.socketPath.c_str());
  return lockFile;
}

// Binds and listens with the owner's (and the group's) permissions only.
int listenAt(const PipeLocation& location, const PipeAccess& access, DWORD& error) {
  int listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener < 0) {
    error = errorFromErrno(errno);
    return -1;
  }
  sockaddr_un address = socketAddress(location.socketPath);
  // The runtime folder is closed to others, so the moment between bind and
  // chmod exposes nothing.
  int bound = ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  bool ready = bound == 0 && ::chmod(location.socketPath.c_str(), access.groupAllowed ? 0660 : 0600) == 0 &&
               (!access.groupAllowed || ::chown(location.socketPath.c_str(), static_cast<uid_t>(-1), access.group) == 0) &&
               ::listen(listener, kWaitingClients) == 0;
  if (!ready) {
    error = errorFromErrno(errno);
    if (bound == 0) ::unlink(location.socketPath.c_str());
    ::close(listener);
    return -1;
  }
  return listener;
}

std::shared_ptr<PipeEnd> findPipe(HANDLE handle) { return findHandleOf<PipeEnd>(handle); }

// A new end that owns the descriptors given, or null (they are still the
// caller's then).
template <class... Arguments>
std::shared_ptr<PipeEnd> makeEnd(Arguments&&... arguments) noexcept {
  try {
    return std::make_shared<PipeEnd>(std::forward<Arguments>(arguments)...);
  } catch (...) {
    return nullptr;
  }
}

// The handle of a new end; a failure releases the end and what it owns.
HANDLE handOut(std::shared_ptr<PipeEnd> end) {
  if (!end || !end->valid()) return failWith(ERROR_NOT_ENOUGH_MEMORY);
  HANDLE handle = addHandle(std::move(end));
  if (!handle) return failWith(ERROR_NOT_ENOUGH_MEMORY);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

}  // namespace

HANDLE CreateNamedPipeA(LPCSTR name, DWORD openMode, DWORD pipeMode, DWORD, DWORD, DWORD, DWORD,
                        LPSECURITY_ATTRIBUTES security) {
  PipeAccess access;
  if ((openMode & PIPE_ACCESS_DUPLEX) == 0 || !(pipeMode & PIPE_TYPE_MESSAGE) || !readPipeAccess(security, access)) {
    return failWith(ERROR_INVALID_PARAMETER);
  }
  PipeLocation location;
  if (DWORD error = locatePipe(name, location)) return failWith(error);
  DWORD error = ERROR_SUCCESS;
  int lockFile = claimName(location, error);
  if (lockFile < 0) return failWith(error);
  int listener = listenAt(location, access, error);
  if (listener < 0) {
    ::close(lockFile);
    return failWith(error);
  }
  auto end = makeEnd(listener, lockFile, location, access, (pipeMode & PIPE_READMODE_MESSAGE) != 0);
  if (!end) {
    ::unlink(location.socketPath.c_str());
    ::close(listener);
    ::close(lockFile);
  }
  return handOut(std::move(end));
}

BOOL ConnectNamedPipe(HANDLE pipe, LPOVERLAPPED overlapped) {
  auto end = findPipe(pipe);
  return end ? end->connect(overlapped) : failCall(ERROR_INVALID_HANDLE);
}

BOOL DisconnectNamedPipe(HANDLE pipe) {
  auto end = findPipe(pipe);
  return end ? end->disconnect() : failCall(ERROR_INVALID_HANDLE);
}

BOOL FlushFileBuffers(HANDLE pipe) {
  if (!findPipe(pipe)) return failCall(ERROR_INVALID_HANDLE);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD, HANDLE) {
  if (creation != OPEN_EXISTING) return failWith(ERROR_INVALID_PARAMETER);
  PipeLocation location;
  if (DWORD error = locatePipe(name, location)) return failWith(error);
  int connection = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (connection < 0) return failWith(errorFromErrno(errno));
  sockaddr_un address = socketAddress(location.socketPath);
  if (::connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    DWORD error = errorFromErrno(errno);
    ::close(connection);
    return failWith(error);
  }
  auto end = makeEnd(connection);
  if (!end) ::close(connection);
  return handOut(std::move(end));
}

BOOL WaitNamedPipeA(LPCSTR name, DWORD timeout) {
  PipeLocation location;
  if (DWORD error = locatePipe(name, location)) return failCall(error);
  struct stat status {};
  if (::stat(location.socketPath.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode)) {
    return failCall(ERROR_FILE_NOT_FOUND);
  }
  Sleep(timeout == NMPWAIT_USE_DEFAULT_WAIT ? kLongestWaitPause : std::min(timeout, kLongestWaitPause));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL SetNamedPipeHandleState(HANDLE pipe, DWORD* mode, DWORD*, DWORD*) {
  auto end = findPipe(pipe);
  if (!end) return failCall(ERROR_INVALID_HANDLE);
  if (mode) end->setMessageReads((*mode & PIPE_READMODE_MESSAGE) != 0);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, DWORD* read, LPOVERLAPPED overlapped) {
  auto end = findPipe(file);
  if (!end) return failCall(ERROR_INVALID_HANDLE);
  if (!buffer && size) return failCall(ERROR_INVALID_PARAMETER);
  return end->read(buffer, size, read, overlapped);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, DWORD* written, LPOVERLAPPED overlapped) {
  auto end = findPipe(file);
  if (!end) return failCall(ERROR_INVALID_HANDLE);
  if (!buffer && size) return failCall(ERROR_INVALID_PARAMETER);
  return end->write(buffer, size, written, overlapped);
}

BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, DWORD* transferred, BOOL wait) {
  auto end = findPipe(file);
  return end ? end->overlappedResult(overlapped, transferred, wait) : failCall(ERROR_INVALID_HANDLE);
}
