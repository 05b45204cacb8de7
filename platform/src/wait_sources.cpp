// Sources attached to message waits: attaching, detaching and a wait's use.
#include "wait_sources.h"

#include "message_queue.h"
#include "platform/waits.h"

#include <algorithm>
#include <chrono>
#include <unistd.h>

namespace platform::detail {
namespace {

// A wait lets go at its next wake-up; this only bounds one that does not.
constexpr auto kLongestRelease = std::chrono::seconds(5);

std::vector<std::shared_ptr<AttachedSource>>& spareHeldList() noexcept {
  thread_local std::vector<std::shared_ptr<AttachedSource>> spare;
  return spare;
}

}  // namespace

WaitSources::~WaitSources() {
  if (set_ >= 0) close(set_);
}

bool WaitSources::makeSetLocked() noexcept {
  if (set_ < 0) set_ = epoll_create1(EPOLL_CLOEXEC);
  return set_ >= 0;
}

bool WaitSources::add(const std::shared_ptr<AttachedSource>& source) noexcept {
  std::lock_guard guard(lock_);
  if (!makeSetLocked()) return false;
  source->key = nextKey_++;
  epoll_event event{EPOLLIN | EPOLLEXCLUSIVE, {}};
  event.data.u64 = source->key;
  if (epoll_ctl(set_, EPOLL_CTL_ADD, source->source->descriptor(), &event) != 0) return false;
  try {
    list_.push_back(source);
  } catch (...) {
    epoll_ctl(set_, EPOLL_CTL_DEL, source->source->descriptor(), nullptr);
    return false;
  }
  return true;
}

bool WaitSources::remove(AttachedSource& source) noexcept {
  std::lock_guard guard(lock_);
  if (source.attached) epoll_ctl(set_, EPOLL_CTL_DEL, source.source->descriptor(), nullptr);
  source.attached = false;
  std::erase_if(list_, [&](const std::shared_ptr<AttachedSource>& entry) { return entry.get() == &source; });
  return source.users > 0;
}

void WaitSources::awaitRelease(AttachedSource& source) noexcept {
  std::unique_lock guard(lock_);
  released_.wait_for(guard, kLongestRelease, [&] { return source.users == 0; });
}

bool WaitSources::empty() const noexcept {
  std::lock_guard guard(lock_);
  return list_.empty();
}

int WaitSources::sleepSet(int queueSignal, int termination) noexcept {
  if (fixedMembers_.load(std::memory_order_acquire)) return set_;
  std::lock_guard guard(lock_);
  if (fixedMembers_.load(std::memory_order_relaxed)) return set_;
  if (!makeSetLocked()) return -1;
  epoll_event signal{EPOLLIN, {}}, ended{EPOLLIN, {}};
  signal.data.u64 = kQueueSignalKey;
  ended.data.u64 = kTerminationKey;
  bool added = epoll_ctl(set_, EPOLL_CTL_ADD, queueSignal, &signal) == 0;
  if (added && epoll_ctl(set_, EPOLL_CTL_ADD, termination, &ended) != 0) {
    epoll_ctl(set_, EPOLL_CTL_DEL, queueSignal, nullptr);
    added = false;
  }
  fixedMembers_.store(added, std::memory_order_release);
  return added ? set_ : -1;
}

// A thread's waits take turns with one list of held sources, so that a
// wait allocates nothing; a wait inside another's `ready` makes its own.
SourceUse::SourceUse(WaitSources* sources) noexcept : sources_(sources) {
  if (sources_) held_ = std::move(spareHeldList());
}

SourceUse::~SourceUse() {
  if (!sources_) return;
  if (!held_.empty()) {
    std::lock_guard guard(sources_->lock_);
    for (auto& held : held_) release(*held);
    held_.clear();
  }
  spareHeldList() = std::move(held_);
}

bool SourceUse::refresh() noexcept {
  if (!sources_) return true;
  std::lock_guard guard(sources_->lock_);
  std::erase_if(held_, [&](const std::shared_ptr<AttachedSource>& held) {
    if (held->attached) return false;
    release(*held);
    return true;
  });
  try {
    for (const auto& source : sources_->list_) {
      if (std::find(held_.begin(), held_.end(), source) != held_.end()) continue;
      held_.push_back(source);
      source->users += 1;
    }
  } catch (...) {
    return false;
  }
  return true;
}

void SourceUse::appendDescriptors(std::vector<pollfd>& out) const {
  for (const auto& held : held_) out.push_back({held->source->descriptor(), POLLIN, 0});
}

// A source's `ready` may detach another source of this thread: each is
// asked again before it is called.
void SourceUse::serveReadable(const pollfd* polled) noexcept {
  for (size_t i = 0; i < held_.size(); ++i) {
    if (polled[i].revents) serve(*held_[i]);
  }
}

// A source attached after this wait's last refresh is not held yet: the
// next pass holds it, and as its descriptor is watched level-triggered,
// the sleep set reports it again then.
void SourceUse::serveReady(const epoll_event* events, int count) noexcept {
  for (int i = 0; i < count; ++i) {
    auto held = std::find_if(held_.begin(), held_.end(), [&](const std::shared_ptr<AttachedSource>& source) {
      return source->key == events[i].data.u64;
    });
    if (held != held_.end()) serve(**held);
  }
}

void SourceUse::serve(AttachedSource& source) noexcept {
  if (source.attached.load(std::memory_order_acquire)) source.source->ready();
}

void SourceUse::release(AttachedSource& source) noexcept {
  source.users -= 1;
  if (source.users == 0) sources_->released_.notify_all();
}

}  // namespace platform::detail

namespace platform {

std::shared_ptr<AttachedSource> attachToMessageWaits(DWORD threadId,
                                                     std::shared_ptr<MessageWaitSource> source) noexcept {
  std::shared_ptr<detail::MessageQueue> queue = detail::findQueue(threadId);
  if (!queue || !source) return nullptr;
  try {
    auto attached = std::make_shared<AttachedSource>();
    attached->source = std::move(source);
    attached->queue = queue;
    return queue->sources().add(attached) ? attached : nullptr;
  } catch (...) {
    return nullptr;
  }
}

void detachFromMessageWaits(const std::shared_ptr<AttachedSource>& attached) noexcept {
  if (!attached) return;
  std::shared_ptr<detail::MessageQueue> queue = attached->queue.lock();
  if (!queue) return;  // the thread has ended, and its waits with it
  if (!queue->sources().remove(*attached) || queue->threadId() == GetCurrentThreadId()) return;
  queue->nudge();
  queue->sources().awaitRelease(*attached);
}

}  // namespace platform
