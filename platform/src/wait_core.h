// The one wait loop behind every wait of the platform: it checks the
// objects, the message queue and the caller's termination request, then
// sleeps in poll on all their descriptors (and any sockets) until one of
// them changes or the time is up. A wait for posted messages that watches
// nothing else sleeps in the thread's sleep set instead (see
// wait_sources.h), which holds the same descriptors.
#pragma once

#include "handles.h"
#include "message_queue.h"

#include <memory>
#include <poll.h>
#include <span>

namespace platform::detail {

struct WaitRequest {
  std::span<const std::shared_ptr<Waitable>> objects;
  MessageQueue* queue = nullptr;  // watched for input of wakeMask
  DWORD wakeMask = 0;
  const MessageFilter* filter = nullptr;  // posted messages and timers must pass it
  std::span<pollfd> sockets;      // their revents are filled in
  DWORD timeout = INFINITE;
};

enum class WaitOutcome { object, input, sockets, timeout, failed };

struct WaitResult {
  WaitOutcome outcome;
  size_t index = 0;  // the object, or how many sockets are ready
  int error = 0;     // errno for failed (ECANCELED: the thread was terminated)
};

WaitResult waitFor(const WaitRequest& request) noexcept;

// Waits for the request's objects or sockets for at most `timeout` ms,
// answering the messages other threads send to the calling thread
// meanwhile (two threads that send to each other would wait for ever
// otherwise). Sets the request's queue, wake mask and timeout.
void waitAnsweringSent(WaitRequest& request, DWORD timeout);

}  // namespace platform::detail
