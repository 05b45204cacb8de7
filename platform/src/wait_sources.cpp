// Sources attached to message waits: attaching, detaching and a wait's use.
#include "wait_sources.h"

#include "message_queue.h"
#include "platform/waits.h"

#include <algorithm>
#include <chrono>

namespace platform::detail {
namespace {

// A wait lets go at its next wake-up; this only bounds one that does not.
constexpr auto kLongestRelease = std::chrono::seconds(5);

}  // namespace

bool WaitSources::add(const std::shared_ptr<AttachedSource>& source) noexcept {
  std::lock_guard guard(lock_);
  try {
    list_.push_back(source);
  } catch (...) {
    return false;
  }
  return true;
}

bool WaitSources::remove(AttachedSource& source) noexcept {
  std::lock_guard guard(lock_);
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

SourceUse::~SourceUse() {
  for (Held& held : held_) {
    if (held.begun && stillAttached(*held.source)) held.source->source->waitEnds();
    std::lock_guard guard(sources_->lock_);
    release(*held.source);
  }
}

bool SourceUse::refresh() noexcept {
  if (!sources_) return true;
  size_t firstNew = 0;
  {
    std::lock_guard guard(sources_->lock_);
    std::erase_if(held_, [&](Held& held) {
      if (held.source->attached) return false;
      release(*held.source);
      return true;
    });
    firstNew = held_.size();
    try {
      for (const auto& source : sources_->list_) {
        auto sameSource = [&](const Held& held) { return held.source == source; };
        bool isHeld = std::any_of(held_.begin(), held_.end(), sameSource);
        if (isHeld) continue;
        held_.push_back({source, false});
        source->users += 1;
      }
    } catch (...) {
      return false;
    }
  }
  // Held, so a detach on another thread waits for this wait to let go.
  for (size_t i = firstNew; i < held_.size(); ++i) {
    held_[i].source->source->waitBegins();
    held_[i].begun = true;
  }
  return true;
}

void SourceUse::appendDescriptors(std::vector<pollfd>& out) const {
  for (const Held& held : held_) out.push_back({held.source->source->descriptor(), POLLIN, 0});
}

// A source's `ready` may detach another source of this thread: each is
// asked again before it is called.
void SourceUse::serveReadable(const pollfd* polled) noexcept {
  for (size_t i = 0; i < held_.size(); ++i) {
    if (polled[i].revents && stillAttached(*held_[i].source)) held_[i].source->source->ready();
  }
}

bool SourceUse::stillAttached(const AttachedSource& source) const noexcept {
  std::lock_guard guard(sources_->lock_);
  return source.attached;
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
