// Message queues and the process-wide table that finds them by thread id.
#include "message_queue.h"
#include "fast_tls.h"

#include "messaging_teardown.h"
#include "platform/tick.h"
#include "thread_record.h"

#include <algorithm>
#include <unordered_map>

namespace platform::detail {
namespace {

struct QueueTable {
  std::mutex lock;
  std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

// Never destroyed: threads may still post while the process exits.
QueueTable& queueTable() {
  static QueueTable* instance = new QueueTable;
  return *instance;
}

// Ends the thread's messaging when a thread the platform did not start
// exits (threads it started do so before they signal their end).
struct CallingThreadQueue {
  std::shared_ptr<MessageQueue> queue;
  ~CallingThreadQueue() { releaseCallingThreadMessaging(); }
};
PLATFORM_FAST_TLS thread_local CallingThreadQueue callingQueue;

bool isPostedMask(DWORD mask) { return (mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) != 0; }

}  // namespace

bool MessageFilter::matches(const MSG& message) const noexcept {
  bool windowMatches = window == nullptr || message.hwnd == window ||
                       (window == reinterpret_cast<HWND>(-1) && message.hwnd == nullptr);
  bool numberMatches = (first == 0 && last == 0) || (message.message >= first && message.message <= last);
  return windowMatches && numberMatches;
}

// The signal is given outside the lock: the woken thread goes for the
// lock at once, and would otherwise wait for the poster to leave it. A
// thread posting to itself is not asleep in a wait (a source's `ready`
// runs between two looks of one), and every wait looks at the queue
// before it sleeps: it needs no signal.
bool MessageQueue::post(const MSG& message) noexcept {
  bool toArrivals = false;
  {
    std::lock_guard guard(lock_);
    if (ended_) return false;
    try {
      posted_.push_back(message);
    } catch (...) {
      return false;
    }
    toArrivals = watchingArrivals_;
  }
  if (GetCurrentThreadId() != threadId_) announce(toArrivals);
  return true;
}

bool MessageQueue::deliverSent(std::shared_ptr<SentMessage> message) noexcept {
  bool toArrivals = false;
  {
    std::lock_guard guard(lock_);
    if (ended_) return false;
    try {
      sent_.push_back(std::move(message));
    } catch (...) {
      return false;
    }
    toArrivals = watchingArrivals_;
  }
  announce(toArrivals);
  return true;
}

void MessageQueue::announce(bool toArrivals) noexcept {
  signal_.set();
  if (toArrivals) arrival_.set();
}

void MessageQueue::nudge() noexcept {
  bool toArrivals = false;
  {
    std::lock_guard guard(lock_);
    toArrivals = watchingArrivals_;
  }
  announce(toArrivals);
}

void MessageQueue::settle() noexcept {
  std::lock_guard guard(lock_);
  updateSignalLocked();
  signal_.settle();
}

// Cleared after the flag is raised, so a message posted in between is
// either seen by the caller's next look at the queue or announced.
void MessageQueue::armArrivals() noexcept {
  {
    std::lock_guard guard(lock_);
    watchingArrivals_ = true;
  }
  arrival_.clear();
  arrival_.settle();
}

void MessageQueue::disarmArrivals() noexcept {
  std::lock_guard guard(lock_);
  watchingArrivals_ = false;
}

std::shared_ptr<SentMessage> MessageQueue::popSentLocked() noexcept {
  if (sent_.empty()) return nullptr;
  std::shared_ptr<SentMessage> message = std::move(sent_.front());
  sent_.pop_front();
  updateSignalLocked();
  return message;
}

std::shared_ptr<SentMessage> MessageQueue::takeSent() noexcept {
  std::lock_guard guard(lock_);
  return popSentLocked();
}

bool MessageQueue::take(const MessageFilter& filter, bool remove, MSG* out,
                        std::shared_ptr<SentMessage>& sent) noexcept {
  std::lock_guard guard(lock_);
  if ((sent = popSentLocked())) return false;
  auto found = std::find_if(posted_.begin(), posted_.end(),
                            [&](const MSG& message) { return filter.matches(message); });
  if (found != posted_.end()) {
    *out = *found;
    if (remove) {
      posted_.erase(found);
      updateSignalLocked();
    }
    return true;
  }
  if (timers_.empty()) return false;
  uint64_t now = GetTickCount64();
  for (Timer& timer : timers_) {
    if (timer.due > now) continue;
    MSG message = timerMessage(timer);
    message.time = static_cast<DWORD>(now);
    if (!filter.matches(message)) continue;
    *out = message;
    if (remove) timer.due = now + timer.elapse;
    return true;
  }
  return false;
}

bool MessageQueue::hasInput(DWORD wakeMask, uint64_t now, const MessageFilter* filter) const noexcept {
  std::lock_guard guard(lock_);
  if ((wakeMask & QS_SENDMESSAGE) && !sent_.empty()) return true;
  if (isPostedMask(wakeMask) && std::any_of(posted_.begin(), posted_.end(), [&](const MSG& message) {
        return !filter || filter->matches(message);
      })) {
    return true;
  }
  if (wakeMask & QS_TIMER) {
    for (const Timer& timer : timers_)
      if (timer.due <= now && (!filter || filter->matches(timerMessage(timer)))) return true;
  }
  return false;
}

DWORD MessageQueue::timeToNextTimer(uint64_t now, const MessageFilter* filter) const noexcept {
  std::lock_guard guard(lock_);
  uint64_t nearest = UINT64_MAX;
  for (const Timer& timer : timers_) {
    if (!filter || filter->matches(timerMessage(timer))) nearest = std::min(nearest, timer.due);
  }
  if (nearest == UINT64_MAX) return INFINITE;
  return nearest <= now ? 0 : static_cast<DWORD>(std::min<uint64_t>(nearest - now, INFINITE - 1));
}

UINT_PTR MessageQueue::setTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure,
                                uint64_t now) noexcept {
  std::lock_guard guard(lock_);
  auto existing = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.window == window && timer.id == timerId;
  });
  if (existing != timers_.end()) {
    *existing = Timer{window, timerId, elapse, procedure, now + elapse};
    return window ? 1 : timerId;
  }
  UINT_PTR id = window ? timerId : nextThreadTimerId_++;
  try {
    timers_.push_back(Timer{window, id, elapse, procedure, now + elapse});
  } catch (...) {
    return 0;
  }
  return window ? 1 : id;
}

bool MessageQueue::killTimer(HWND window, UINT_PTR timerId) noexcept {
  std::lock_guard guard(lock_);
  auto removed = std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.window == window && timer.id == timerId;
  });
  bool found = removed != timers_.end();
  timers_.erase(removed, timers_.end());
  return found;
}

void MessageQueue::killTimersOf(HWND window) noexcept {
  std::lock_guard guard(lock_);
  std::erase_if(timers_, [&](const Timer& timer) { return timer.window == window; });
}

void MessageQueue::tearDown() noexcept {
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard guard(lock_);
    ended_ = true;
    unanswered.swap(sent_);
    posted_.clear();
    timers_.clear();
    updateSignalLocked();
  }
  for (auto& message : unanswered) message->done.set();
}

void MessageQueue::updateSignalLocked() noexcept {
  if (posted_.empty() && sent_.empty()) signal_.clear();
  else signal_.set();
}

std::shared_ptr<MessageQueue> findQueue(DWORD threadId) noexcept {
  QueueTable& table = queueTable();
  std::lock_guard guard(table.lock);
  auto found = table.queues.find(threadId);
  return found == table.queues.end() ? nullptr : found->second;
}

MessageQueue* callingThreadQueue() noexcept {
  if (callingQueue.queue) return callingQueue.queue.get();
  DWORD threadId = currentThreadRecord().id();
  std::shared_ptr<MessageQueue> queue;
  try {
    queue = std::make_shared<MessageQueue>(threadId);
    if (!queue->valid()) return nullptr;
    QueueTable& table = queueTable();
    std::lock_guard guard(table.lock);
    table.queues[threadId] = queue;
  } catch (...) {
    return nullptr;
  }
  callingQueue.queue = std::move(queue);
  return callingQueue.queue.get();
}

MessageQueue* existingCallingThreadQueue() noexcept { return callingQueue.queue.get(); }

void releaseCallingThreadMessaging() noexcept {
  std::shared_ptr<MessageQueue> queue = std::move(callingQueue.queue);
  if (!queue) return;
  {
    QueueTable& table = queueTable();
    std::lock_guard guard(table.lock);
    table.queues.erase(queue->threadId());
  }
  queue->tearDown();
  forgetWindowsOfThread(queue->threadId());
}

}  // namespace platform::detail
