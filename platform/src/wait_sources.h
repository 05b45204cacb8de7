// The sources attached to one thread's message waits, and a wait's use of
// them. A wait holds every source it watches (the source's count of
// users); a detach from another thread waits until no wait holds it.
// The sources are also kept in the thread's sleep set, an epoll set that
// watches them exclusively together with the queue's signal and the
// thread's termination.
#pragma once

#include "platform/message_wait_sources.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/epoll.h>
#include <vector>

namespace platform::detail {
class MessageQueue;
}

namespace platform {

struct AttachedSource {
  std::shared_ptr<MessageWaitSource> source;
  std::weak_ptr<detail::MessageQueue> queue;
  // Written under the sources' lock; a wait about to serve the source reads
  // it without, as it may be detached at once after either look.
  std::atomic<bool> attached{true};
  int users = 0;         // waits holding it, under the sources' lock
  uint64_t key = 0;      // its event data in the sleep set
};

}  // namespace platform

namespace platform::detail {

// The event data of the sleep set's fixed members; sources have larger keys.
inline constexpr uint64_t kQueueSignalKey = 0;
inline constexpr uint64_t kTerminationKey = 1;

class WaitSources {
 public:
  WaitSources() noexcept = default;
  ~WaitSources();
  WaitSources(const WaitSources&) = delete;
  WaitSources& operator=(const WaitSources&) = delete;

  // False when the source's descriptor cannot be watched.
  bool add(const std::shared_ptr<AttachedSource>& source) noexcept;
  // Takes the source out; true when a wait still holds it.
  bool remove(AttachedSource& source) noexcept;
  // Waits (a few seconds at most) until no wait holds the source.
  void awaitRelease(AttachedSource& source) noexcept;
  bool empty() const noexcept;
  // For the queue's own thread: the sleep set, with the queue's signal and
  // the termination descriptor in it; -1 when it cannot be had.
  int sleepSet(int queueSignal, int termination) noexcept;

 private:
  friend class SourceUse;
  bool makeSetLocked() noexcept;

  mutable std::mutex lock_;
  std::condition_variable released_;
  std::vector<std::shared_ptr<AttachedSource>> list_;
  int set_ = -1;
  // Set under the lock once the set holds the queue's signal and the
  // termination; from then on the set is read without the lock.
  std::atomic<bool> fixedMembers_{false};
  uint64_t nextKey_ = kTerminationKey + 1;
};

// One wait's use of its thread's sources.
class SourceUse {
 public:
  explicit SourceUse(WaitSources* sources) noexcept;
  ~SourceUse();
  SourceUse(const SourceUse&) = delete;
  SourceUse& operator=(const SourceUse&) = delete;

  // Before each sleep: holds what is attached now and lets go of what was
  // detached meanwhile. False when memory ran out.
  bool refresh() noexcept;
  void appendDescriptors(std::vector<pollfd>& out) const;
  // After the sleep: `ready` for every readable source still attached,
  // from poll's results or the sleep set's events.
  void serveReadable(const pollfd* polled) noexcept;
  void serveReady(const epoll_event* events, int count) noexcept;

 private:
  void serve(AttachedSource& source) noexcept;
  void release(AttachedSource& source) noexcept;  // under the lock

  WaitSources* sources_;
  std::vector<std::shared_ptr<AttachedSource>> held_;
};

}  // namespace platform::detail
