// Receiving on the owner's thread: while a thread that takes a socket's
// notifications sleeps in a message wait, it receives the socket's
// datagrams itself and the reader thread leaves the socket alone; the
// datagram then needs no hand-over between threads. At every other time
// (the thread is busy, or waits by other means) the reader receives.
#pragma once

#include "platform/message_wait_sources.h"
#include "udpwire/datagram_socket.h"

#include <memory>

namespace udpwire {

class CSocketEngine;

class ThreadReception {
 public:
  // Null when the thread has no message queue or memory ran out.
  static ThreadReception* attach(CSocketEngine& engine, SocketEntry& entry, DWORD threadId) noexcept;
  // Returns once the thread has let go of the socket (see
  // detachFromMessageWaits), and deletes the reception.
  static void detach(ThreadReception* reception) noexcept;

 private:
  class Source;
  std::shared_ptr<Source> source_;
  std::shared_ptr<platform::AttachedSource> attached_;
};

}  // namespace udpwire
