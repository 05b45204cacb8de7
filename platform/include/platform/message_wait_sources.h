// Descriptors that a thread's message waits watch beside its queue.
//
// A source attached to a thread is polled by every wait of that thread
// that takes posted messages (GetMessage, MsgWaitForMultipleObjects with
// posted input in its mask): the waiting thread itself calls
// `ready` when the descriptor is readable and then goes on waiting, so
// whatever `ready` posts to the thread ends the wait as any post would.
//
// On Linux the thread's waits watch their sources through an epoll set of
// the thread's own, with EPOLLEXCLUSIVE: while the thread sleeps there, a
// source's readiness wakes it and none of the exclusive watchers of the
// descriptor that registered after the attach; when it is not asleep
// there, they are woken as before. So another thread that watches the
// descriptor with EPOLLEXCLUSIVE, registered after the attach, serves it
// exactly while this thread does not, with no call made to hand it over.
// Plain (not exclusive) watchers are always woken, and a wait that also
// watches objects or sockets (or passes over input its queue holds) polls
// its sources plainly, so the others wake with it.
//
// A thread that waits by other means (another toolkit's event loop) never
// polls its sources; their owner must not rely on it.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#include <memory>

namespace platform {

class MessageWaitSource {
 public:
  virtual ~MessageWaitSource() = default;
  virtual int descriptor() const noexcept = 0;
  virtual void ready() noexcept = 0;
};

struct AttachedSource;

// Attaches the source to the message waits of the thread; null when the
// thread has no message queue (or memory ran out). Waits share the
// source's ownership while they use it.
PLATFORM_API std::shared_ptr<AttachedSource> attachToMessageWaits(
    DWORD threadId, std::shared_ptr<MessageWaitSource> source) noexcept;
// Normally no wait calls the source once this returns: a wait of another
// thread that is using the source is woken and waited for, a few seconds
// at most (a thread that does not run for longer may still call it once);
// on the attached thread itself nothing needs waiting for.
PLATFORM_API void detachFromMessageWaits(const std::shared_ptr<AttachedSource>& attached) noexcept;

}  // namespace platform
