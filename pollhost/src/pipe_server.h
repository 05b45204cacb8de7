// The control pipe's server: one client at a time, each command read and
// answered through overlapped operations that complete on one event,
// which the pipe thread waits for. The watchdog, on the polling thread,
// drops a client that leaves the pipe unchanged for too long. One lock
// keeps the pipe thread and the watchdog apart.
#pragma once

#include "pipe_commands.h"

#include "platform/pipes.h"
#include "platform/sync.h"

#include <array>
#include <cstdint>
#include <string>

namespace pollhost {

class PipeServer {
 public:
  enum class State { connecting = 1, reading = 2, answering = 3, listing = 4, closing = 5 };
  // Seconds of a clock that only moves forward.
  using Clock = uint64_t (*)();

  PipeServer(CommandAnswers& answers, std::string name, uint32_t idleLimitSeconds, Clock clock = nullptr);
  ~PipeServer();
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  // Creates the pipe ("\\.\pipe\<name>", owner-only, members of `group`
  // too when one is named) and its event, and starts listening. False
  // with the error in GetLastError.
  bool open(const std::string& group = "");
  // The event the pipe thread waits for.
  HANDLE event() const { return event_; }
  // Runs the state machine after the event was signalled. False when the
  // pipe failed (it can no longer listen).
  bool serviceEvent();
  // Drops a client that has left the pipe unchanged for longer than the
  // idle limit, without waiting for it to read, and listens again. False
  // when listening failed.
  bool watchdog();
  void close();

  State state();

 private:
  bool listen();
  bool completePending(bool done, DWORD transferred);
  bool runStates();
  // Makes the answer for the command read (false: unknown, disconnect).
  bool prepareAnswer();
  void prepareListingMessage();
  bool reconnect(bool flush);
  void changeState(State state);
  bool written(DWORD bytes);

  CommandAnswers& answers_;
  std::string name_;
  uint32_t idleLimit_;
  Clock clock_;
  CRITICAL_SECTION lock_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  OVERLAPPED overlapped_{};
  State state_ = State::connecting;
  bool pending_ = false;
  std::array<char, kPipeBufferSize> buffer_{};
  DWORD readLength_ = 0;
  std::string answer_;
  int listingPosition_ = 0;
  uint64_t lastChange_ = 0;  // 0 while no client is connected
};

}  // namespace pollhost
