// The pipe server's states: connecting (1), reading a command (2),
// writing its answer (3), writing a "va" listing message by message (4),
// and writing the answer to "c" before disconnecting (5).
#include "pipe_server.h"

#include "platform/errors.h"
#include "platform/tick.h"

namespace pollhost {
namespace {

constexpr DWORD kPipeTimeout = 5000;

uint64_t monotonicSeconds() { return GetTickCount64() / 1000; }

}  // namespace

PipeServer::PipeServer(CommandAnswers& answers, std::string name, uint32_t idleLimitSeconds, Clock clock)
    : answers_(answers), name_(std::move(name)), idleLimit_(idleLimitSeconds), clock_(clock ? clock : monotonicSeconds) {
  InitializeCriticalSection(&lock_);
}

PipeServer::~PipeServer() {
  close();
  DeleteCriticalSection(&lock_);
}

bool PipeServer::open(const std::string& group) {
  platform::CriticalSectionGuard guard(lock_);
  platform::PipeSecurity security;
  if (!group.empty() && !security.allowGroup(group.c_str())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  std::string path = "\\\\.\\pipe\\" + name_;
  pipe_ = CreateNamedPipe(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                          PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                          kPipeBufferSize, kPipeBufferSize, kPipeTimeout, security.attributes());
  if (pipe_ == INVALID_HANDLE_VALUE) return false;
  event_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (!event_) return false;
  overlapped_.hEvent = event_;
  return listen();
}

void PipeServer::close() {
  platform::CriticalSectionGuard guard(lock_);
  if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  if (event_) CloseHandle(event_);
  pipe_ = INVALID_HANDLE_VALUE;
  event_ = nullptr;
}

PipeServer::State PipeServer::state() {
  platform::CriticalSectionGuard guard(lock_);
  return state_;
}

void PipeServer::changeState(State state) {
  state_ = state;
  lastChange_ = clock_();
}

// Starts waiting for the next client with a clean record.
bool PipeServer::listen() {
  state_ = State::connecting;
  pending_ = false;
  readLength_ = 0;
  answer_.clear();
  listingPosition_ = 0;
  lastChange_ = 0;
  if (ConnectNamedPipe(pipe_, &overlapped_)) {
    changeState(State::reading);
    return SetEvent(event_) != FALSE;
  }
  switch (GetLastError()) {
    case ERROR_IO_PENDING:
      pending_ = true;
      return true;
    case ERROR_PIPE_CONNECTED:
      changeState(State::reading);
      return SetEvent(event_) != FALSE;
    default:
      return false;
  }
}

bool PipeServer::reconnect(bool flush) {
  if (flush) FlushFileBuffers(pipe_);
  DisconnectNamedPipe(pipe_);
  return listen();
}

bool PipeServer::serviceEvent() {
  platform::CriticalSectionGuard guard(lock_);
  if (pipe_ == INVALID_HANDLE_VALUE) return false;
  if (pending_) {
    DWORD transferred = 0;
    BOOL done = GetOverlappedResult(pipe_, &overlapped_, &transferred, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE) {
      // Woken by an operation that the watchdog ended: wait for the new
      // one, unless it completed just now.
      ResetEvent(event_);
      done = GetOverlappedResult(pipe_, &overlapped_, &transferred, FALSE);
      if (!done && GetLastError() == ERROR_IO_INCOMPLETE) return true;
    }
    pending_ = false;
    if (!completePending(done != FALSE, transferred)) return reconnect(state_ != State::connecting);
  }
  return runStates();
}

// The outcome of the operation that was pending. False when the client
// is to be dropped.
bool PipeServer::completePending(bool done, DWORD transferred) {
  switch (state_) {
    case State::connecting:
      if (done) changeState(State::reading);
      return done;
    case State::reading:
      if (!done || transferred == 0) return false;
      readLength_ = transferred;
      changeState(State::answering);
      return true;
    case State::answering:
    case State::listing:
    case State::closing:
      return done && written(transferred);
  }
  return false;
}

// After a whole answer message went out: the next read, the next listing
// message, or the end of the connection.
bool PipeServer::written(DWORD bytes) {
  if (bytes != answer_.size() || state_ == State::closing) return false;
  if (state_ == State::answering) changeState(State::reading);
  answer_.clear();
  return true;
}

bool PipeServer::runStates() {
  for (;;) {
    DWORD transferred = 0;
    if (state_ == State::connecting) return true;
    if (state_ == State::reading) {
      if (ReadFile(pipe_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &transferred, &overlapped_)) {
        if (transferred == 0) return reconnect(true);
        readLength_ = transferred;
        changeState(State::answering);
        continue;
      }
      if (GetLastError() == ERROR_IO_PENDING) {
        pending_ = true;
        return true;
      }
      // Gone, or a message longer than any command: no answer.
      return reconnect(true);
    }
    if (state_ == State::answering && answer_.empty() && !prepareAnswer()) return reconnect(true);
    if (state_ == State::listing) prepareListingMessage();
    if (WriteFile(pipe_, answer_.data(), static_cast<DWORD>(answer_.size()), &transferred, &overlapped_)) {
      if (!written(transferred)) return reconnect(true);
      continue;
    }
    if (GetLastError() == ERROR_IO_PENDING) {
      pending_ = true;
      return true;
    }
    return reconnect(true);
  }
}

bool PipeServer::prepareAnswer() {
  PipeCommand command = readCommand(buffer_.data(), readLength_);
  switch (command.kind) {
    case CommandKind::unknown:
      return false;
    case CommandKind::listAll:
      listingPosition_ = 0;
      changeState(State::listing);
      return true;
    case CommandKind::close:
      changeState(State::closing);
      break;
    default:
      break;
  }
  answer_ = answers_.answer(command);
  return true;
}

// The last message ("." alone) is written as an ordinary answer, after
// which the next command is read.
void PipeServer::prepareListingMessage() {
  bool last = false;
  answer_ = answers_.listingMessage(listingPosition_, last);
  if (last) changeState(State::answering);
}

bool PipeServer::watchdog() {
  platform::CriticalSectionGuard guard(lock_);
  if (pipe_ == INVALID_HANDLE_VALUE || lastChange_ == 0 || clock_() - lastChange_ <= idleLimit_) return true;
  return reconnect(false);
}

}  // namespace pollhost
