// The delta list of pending timers.
#include "timer_list.h"

#include "platform/heap.h"
#include "platform/tick.h"
#include "winsnmp.h"

namespace netmgr {
namespace {
platform::CountedHeap entryHeap;
}

TimerList::~TimerList() {
  consume(clear(), [](TimerEntry&) {});
}

void TimerList::release(TimerEntry* entry) { entryHeap.dispose(entry); }

uint32_t TimerList::add(uint32_t delay, const TimerTask& task, const void* entityKey, const Session* session,
                       int32_t requestId, uint8_t version, bool& wasEmpty) {
  auto* entry = entryHeap.make<TimerEntry>();
  if (!entry) return SNMPAPI_ALLOC_ERROR;
  *entry = TimerEntry{delay, GetTickCount64(), task, entityKey, session, requestId, version, nullptr};
  std::lock_guard guard(lock_);
  wasEmpty = head_ == nullptr;
  TimerEntry* previous = nullptr;
  TimerEntry* current = head_;
  // Ties go after the existing entries.
  while (current && entry->delta >= current->delta) {
    entry->delta -= current->delta;
    previous = current;
    current = current->next;
  }
  entry->next = current;
  if (previous) previous->next = entry;
  else head_ = entry;
  if (current) current->delta -= entry->delta;
  entries_.store(entries_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
  return 0;
}

void TimerList::unlink(TimerEntry* previous, TimerEntry* entry) {
  if (entry->next) entry->next->delta += entry->delta;
  if (previous) previous->next = entry->next;
  else head_ = entry->next;
  entries_.store(entries_.load(std::memory_order_relaxed) - 1, std::memory_order_release);
}

Withdrawal TimerList::withdrawRequest(const Session* session, int32_t requestId, uint8_t version,
                                      Withdrawn& withdrawn) {
  TimerEntry* found = nullptr;
  if (entries_.load(std::memory_order_acquire) == 0) return Withdrawal::none;
  {
    std::lock_guard guard(lock_);
    TimerEntry* previous = nullptr;
    for (TimerEntry* entry = head_; entry; previous = entry, entry = entry->next) {
      if (entry->session == session && entry->requestId == requestId) {
        if (entry->version != version) return Withdrawal::otherVersion;
        unlink(previous, entry);
        found = entry;
        break;
      }
    }
  }
  if (!found) return Withdrawal::none;
  withdrawn = {found->task.argument, GetTickCount64() - found->registeredAt};
  release(found);
  return Withdrawal::withdrawn;
}

TimerEntry* TimerList::withdrawEntity(const void* entityKey) {
  if (entries_.load(std::memory_order_acquire) == 0) return nullptr;
  TimerEntry* chain = nullptr;
  TimerEntry** chainEnd = &chain;
  std::lock_guard guard(lock_);
  TimerEntry* previous = nullptr;
  for (TimerEntry* entry = head_; entry;) {
    TimerEntry* next = entry->next;
    if (entry->entityKey == entityKey) {
      unlink(previous, entry);
      entry->next = nullptr;
      *chainEnd = entry;
      chainEnd = &entry->next;
    } else {
      previous = entry;
    }
    entry = next;
  }
  return chain;
}

TimerEntry* TimerList::takeDue(uint32_t elapsed) {
  std::lock_guard guard(lock_);
  TimerEntry* chain = head_;
  TimerEntry* last = nullptr;
  while (head_ && head_->delta <= elapsed) {
    elapsed -= head_->delta;
    last = head_;
    head_ = head_->next;
    entries_.store(entries_.load(std::memory_order_relaxed) - 1, std::memory_order_release);
  }
  if (head_) head_->delta -= elapsed;
  if (!last) return nullptr;
  last->next = nullptr;
  return chain;
}

TimerEntry* TimerList::clear() {
  std::lock_guard guard(lock_);
  TimerEntry* chain = head_;
  head_ = nullptr;
  entries_.store(0, std::memory_order_release);
  return chain;
}

bool TimerList::empty() const {
  std::lock_guard guard(lock_);
  return head_ == nullptr;
}

size_t TimerList::size() const {
  std::lock_guard guard(lock_);
  size_t count = 0;
  for (TimerEntry* entry = head_; entry; entry = entry->next) ++count;
  return count;
}

}  // namespace netmgr
