// Pipe ends: operations tried at once, and the completion thread that
// finishes the overlapped ones that had to wait.
#include "pipe_end.h"

#include "platform/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::detail {
namespace {

void closeIfOpen(int& descriptor) {
  if (descriptor >= 0) ::close(descriptor);
  descriptor = -1;
}

short eventsOf(bool writing) { return writing ? POLLOUT : POLLIN; }

}  // namespace

PipeEnd::PipeEnd(int listener, int lockFile, PipeLocation location, PipeAccess access, bool messageReads)
    : listener_(listener),
      lockFile_(lockFile),
      location_(std::move(location)),
      access_(access),
      messageReads_(messageReads),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

PipeEnd::PipeEnd(int connection)
    : connection_(connection), messageReads_(false), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

PipeEnd::~PipeEnd() {
  {
    std::lock_guard guard(lock_);
    closing_ = true;
  }
  requested_.notify_all();
  wakeCompletionThread();
  if (completions_.joinable()) completions_.join();
  closeIfOpen(connection_);
  if (listener_ >= 0) ::unlink(location_.socketPath.c_str());
  closeIfOpen(listener_);
  closeIfOpen(lockFile_);  // last: the name stays ours until the socket is gone
  closeIfOpen(wake_);
}

BOOL PipeEnd::connect(OVERLAPPED* overlapped) {
  if (!isServer()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return perform({Operation::connect, nullptr, 0, overlapped}, nullptr);
}

BOOL PipeEnd::read(void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped) {
  return perform({Operation::read, buffer, size, overlapped}, read);
}

BOOL PipeEnd::write(const void* buffer, DWORD size, DWORD* written, OVERLAPPED* overlapped) {
  return perform({Operation::write, const_cast<void*>(buffer), size, overlapped}, written);
}

void PipeEnd::setMessageReads(bool messageReads) {
  std::lock_guard guard(lock_);
  messageReads_ = messageReads;
}

BOOL PipeEnd::disconnect() {
  if (!isServer()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard guard(lock_);
  abandonPending(ERROR_PIPE_NOT_CONNECTED);
  closeIfOpen(connection_);
  remainder_.clear();
  remainderOffset_ = 0;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL PipeEnd::perform(const Request& request, DWORD* transferred) {
  if (transferred) *transferred = 0;
  std::unique_lock held(lock_);
  Outcome outcome;
  if (!request.overlapped) {
    while (!attempt(request, outcome)) {
      if (!waitUntilReady(request, held)) {
        outcome = {errorFromErrno(errno), 0};
        break;
      }
    }
  } else {
    if (pending_.operation != Operation::none) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    OVERLAPPED& overlapped = *request.overlapped;
    if (overlapped.hEvent) ResetEvent(overlapped.hEvent);
    if (!attempt(request, outcome)) {
      overlapped.Internal = STATUS_PENDING;
      overlapped.InternalHigh = 0;
      pending_ = request;
      ++generation_;
      if (!completions_.joinable()) completions_ = std::thread([this] { runCompletions(); });
      held.unlock();
      requested_.notify_one();
      SetLastError(ERROR_IO_PENDING);
      return FALSE;
    }
    // A client that was already waiting is reported, not signalled.
    if (request.operation == Operation::connect && outcome.error == ERROR_SUCCESS) {
      overlapped.Internal = ERROR_SUCCESS;
      overlapped.InternalHigh = 0;
      SetLastError(ERROR_PIPE_CONNECTED);
      return FALSE;
    }
    finish(request.overlapped, outcome);
  }
  if (transferred) *transferred = outcome.bytes;
  SetLastError(outcome.error);
  return outcome.error == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL PipeEnd::overlappedResult(OVERLAPPED* overlapped, DWORD* transferred, BOOL wait) {
  if (!overlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (;;) {
    {
      std::lock_guard guard(lock_);
      if (overlapped->Internal != STATUS_PENDING) {
        if (transferred) *transferred = static_cast<DWORD>(overlapped->InternalHigh);
        DWORD error = static_cast<DWORD>(overlapped->Internal);
        SetLastError(error);
        return error == ERROR_SUCCESS ? TRUE : FALSE;
      }
    }
    if (!wait) {
      SetLastError(ERROR_IO_INCOMPLETE);
      return FALSE;
    }
    if (WaitForSingleObject(overlapped->hEvent, INFINITE) != WAIT_OBJECT_0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
}

bool PipeEnd::attempt(const Request& request, Outcome& outcome) {
  switch (request.operation) {
    case Operation::connect: return attemptConnect(outcome);
    case Operation::read: return attemptRead(request, outcome);
    case Operation::write: return attemptWrite(request, outcome);
    case Operation::none: break;
  }
  outcome = {ERROR_INVALID_PARAMETER, 0};
  return true;
}

// Clients that may not use the pipe are closed and the wait goes on.
bool PipeEnd::attemptConnect(Outcome& outcome) {
  if (connection_ >= 0) {
    outcome = {ERROR_PIPE_CONNECTED, 0};
    return true;
  }
  for (;;) {
    int client = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) {
      if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) return false;
      outcome = {errorFromErrno(errno), 0};
      return true;
    }
    if (peerMayConnect(client, access_)) {
      connection_ = client;
      outcome = {ERROR_SUCCESS, 0};
      return true;
    }
    ::close(client);
  }
}

bool PipeEnd::serveRemainder(const Request& request, Outcome& outcome) {
  size_t left = remainder_.size() - remainderOffset_;
  size_t taken = std::min<size_t>(left, request.size);
  std::memcpy(request.buffer, remainder_.data() + remainderOffset_, taken);
  remainderOffset_ += taken;
  bool more = remainderOffset_ < remainder_.size();
  if (!more) {
    remainder_.clear();
    remainderOffset_ = 0;
  }
  outcome = {more && messageReads_ ? static_cast<DWORD>(ERROR_MORE_DATA) : ERROR_SUCCESS,
             static_cast<DWORD>(taken)};
  return true;
}

// The next message's length comes first (MSG_TRUNC reports it whole), so
// a message longer than the buffer is taken at once and kept for the
// following reads instead of being cut off by the socket.
bool PipeEnd::attemptRead(const Request& request, Outcome& outcome) {
  if (!remainder_.empty()) return serveRemainder(request, outcome);
  if (connection_ < 0) {
    outcome = {isServer() ? static_cast<DWORD>(ERROR_PIPE_LISTENING) : ERROR_INVALID_HANDLE, 0};
    return true;
  }
  char probe;
  ssize_t length = ::recv(connection_, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
  if (length < 0 && (errno == EAGAIN || errno == EINTR)) return false;
  if (length <= 0) {
    outcome = {length == 0 || errno == ECONNRESET ? static_cast<DWORD>(ERROR_BROKEN_PIPE) : errorFromErrno(errno), 0};
    return true;
  }
  if (static_cast<size_t>(length) <= request.size) {
    ssize_t got = ::recv(connection_, request.buffer, request.size, MSG_DONTWAIT);
    outcome = got < 0 ? Outcome{errorFromErrno(errno), 0} : Outcome{ERROR_SUCCESS, static_cast<DWORD>(got)};
    return true;
  }
  try {
    remainder_.resize(static_cast<size_t>(length));
  } catch (...) {
    outcome = {ERROR_NOT_ENOUGH_MEMORY, 0};
    return true;
  }
  ssize_t got = ::recv(connection_, remainder_.data(), remainder_.size(), MSG_DONTWAIT);
  if (got <= 0) {
    remainder_.clear();
    outcome = {got == 0 ? static_cast<DWORD>(ERROR_BROKEN_PIPE) : errorFromErrno(errno), 0};
    return true;
  }
  remainder_.resize(static_cast<size_t>(got));
  remainderOffset_ = 0;
  return serveRemainder(request, outcome);
}

bool PipeEnd::attemptWrite(const Request& request, Outcome& outcome) {
  if (connection_ < 0) {
    outcome = {isServer() ? static_cast<DWORD>(ERROR_PIPE_LISTENING) : ERROR_NO_DATA, 0};
    return true;
  }
  if (request.size == 0) {
    outcome = {ERROR_SUCCESS, 0};
    return true;
  }
  ssize_t sent = ::send(connection_, request.buffer, request.size, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (sent < 0 && (errno == EAGAIN || errno == EINTR)) return false;
  if (sent < 0) {
    bool gone = errno == EPIPE || errno == ECONNRESET || errno == ENOTCONN;
    outcome = {gone ? static_cast<DWORD>(ERROR_NO_DATA) : errorFromErrno(errno), 0};
    return true;
  }
  outcome = {ERROR_SUCCESS, static_cast<DWORD>(sent)};
  return true;
}

int PipeEnd::socketOf(Operation operation) const {
  return operation == Operation::connect ? listener_ : connection_;
}

void PipeEnd::finish(OVERLAPPED* overlapped, const Outcome& outcome) {
  overlapped->InternalHigh = outcome.bytes;
  overlapped->Internal = outcome.error;
  if (overlapped->hEvent) SetEvent(overlapped->hEvent);
}

void PipeEnd::abandonPending(DWORD error) {
  if (pending_.operation == Operation::none) return;
  finish(pending_.overlapped, {error, 0});
  pending_ = Request{};
  ++generation_;
  wakeCompletionThread();
}

void PipeEnd::wakeCompletionThread() {
  uint64_t one = 1;
  if (wake_ >= 0) (void)!::write(wake_, &one, sizeof one);
}

// A blocking operation's wait for its socket, with the lock left.
bool PipeEnd::waitUntilReady(const Request& request, std::unique_lock<std::mutex>& held) {
  pollfd socket{socketOf(request.operation), eventsOf(request.operation == Operation::write), 0};
  if (socket.fd < 0) return true;  // the next try reports the state
  held.unlock();
  int result = ::poll(&socket, 1, -1);
  held.lock();
  return result >= 0 || errno == EINTR;
}

void PipeEnd::runCompletions() {
  std::unique_lock held(lock_);
  for (;;) {
    requested_.wait(held, [this] { return closing_ || pending_.operation != Operation::none; });
    if (closing_) return;
    Request request = pending_;
    uint64_t generation = generation_;
    pollfd watched[2] = {{socketOf(request.operation), eventsOf(request.operation == Operation::write), 0},
                         {wake_, POLLIN, 0}};
    held.unlock();
    ::poll(watched, 2, -1);
    uint64_t drained;
    if (watched[1].revents) (void)!::read(wake_, &drained, sizeof drained);
    held.lock();
    if (closing_) return;
    if (generation != generation_ || pending_.operation == Operation::none) continue;
    Outcome outcome;
    if (!attempt(request, outcome)) continue;
    pending_ = Request{};
    finish(request.overlapped, outcome);
  }
}

}  // namespace platform::detail
