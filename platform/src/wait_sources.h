// The sources attached to one thread's message waits, and a wait's use of
// them. A wait holds every source it watches (the source's count of
// users); a detach from another thread waits until no wait holds it.
#pragma once

#include "platform/message_wait_sources.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <poll.h>
#include <vector>

namespace platform::detail {
class MessageQueue;
}

namespace platform {

struct AttachedSource {
  std::shared_ptr<MessageWaitSource> source;
  std::weak_ptr<detail::MessageQueue> queue;
  bool attached = true;  // under the sources' lock
  int users = 0;         // waits holding it, under the sources' lock
};

}  // namespace platform

namespace platform::detail {

class WaitSources {
 public:
  bool add(const std::shared_ptr<AttachedSource>& source) noexcept;
  // Takes the source out; true when a wait still holds it.
  bool remove(AttachedSource& source) noexcept;
  // Waits (a few seconds at most) until no wait holds the source.
  void awaitRelease(AttachedSource& source) noexcept;
  bool empty() const noexcept;

 private:
  friend class SourceUse;
  mutable std::mutex lock_;
  std::condition_variable released_;
  std::vector<std::shared_ptr<AttachedSource>> list_;
};

// One wait's use of its thread's sources.
class SourceUse {
 public:
  explicit SourceUse(WaitSources* sources) noexcept : sources_(sources) {}
  ~SourceUse();
  SourceUse(const SourceUse&) = delete;
  SourceUse& operator=(const SourceUse&) = delete;

  // Before each sleep: holds what is attached now (new ones begin their
  // wait) and lets go of what was detached meanwhile. False when memory
  // ran out.
  bool refresh() noexcept;
  void appendDescriptors(std::vector<pollfd>& out) const;
  // After the sleep: `ready` for every readable source still attached.
  void serveReadable(const pollfd* polled) noexcept;

 private:
  bool stillAttached(const AttachedSource& source) const noexcept;
  void release(AttachedSource& source) noexcept;  // under the lock

  struct Held {
    std::shared_ptr<AttachedSource> source;
    bool begun;
  };
  WaitSources* sources_;
  std::vector<Held> held_;
};

}  // namespace platform::detail
