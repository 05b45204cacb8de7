// The delta list of pending timers.
#include "timer_list.h"

#include "platform/heap.h"
#include "platform/tick.h"

namespace netmgr {
namespace {
platform::CountedHeap entryHeap;
}

TimerList::~TimerList() { clear(); }

void TimerList::release(TimerEntry* entry) { entryHeap.dispose(entry); }

bool TimerList::tryAdd(uint32_t delay, TimerCallback callback, void* argument, const void* entityKey,
                       const Session* session, int32_t requestId, bool& wasEmpty) {
  auto* entry = entryHeap.make<TimerEntry>();
  if (!entry) return false;
  *entry = TimerEntry{delay, GetTickCount64(), callback, argument, entityKey, session, requestId, nullptr};
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
  return true;
}

void TimerList::unlink(TimerEntry* previous, TimerEntry* entry) {
  if (entry->next) entry->next->delta += entry->delta;
  if (previous) previous->next = entry->next;
  else head_ = entry->next;
  entries_.store(entries_.load(std::memory_order_relaxed) - 1, std::memory_order_release);
}

bool TimerList::withdrawRequest(const Session* session, int32_t requestId, Withdrawn& withdrawn) {
  TimerEntry* found = nullptr;
  if (entries_.load(std::memory_order_acquire) == 0) return false;
  {
    std::lock_guard guard(lock_);
    TimerEntry* previous = nullptr;
    for (TimerEntry* entry = head_; entry; previous = entry, entry = entry->next) {
      if (entry->session == session && entry->requestId == requestId) {
        unlink(previous, entry);
        found = entry;
        break;
      }
    }
  }
  if (!found) return false;
  withdrawn = {found->argument, GetTickCount64() - found->registeredAt};
  release(found);
  return true;
}

std::vector<void*> TimerList::withdrawEntity(const void* entityKey) {
  std::vector<void*> arguments;
  if (entries_.load(std::memory_order_acquire) == 0) return arguments;
  std::lock_guard guard(lock_);
  TimerEntry* previous = nullptr;
  for (TimerEntry* entry = head_; entry;) {
    TimerEntry* next = entry->next;
    if (entry->entityKey == entityKey) {
      unlink(previous, entry);
      arguments.push_back(entry->argument);
      release(entry);
    } else {
      previous = entry;
    }
    entry = next;
  }
  return arguments;
}

std::vector<TimerEntry*> TimerList::takeDue(uint32_t elapsed) {
  std::vector<TimerEntry*> due;
  std::lock_guard guard(lock_);
  while (head_ && head_->delta <= elapsed) {
    elapsed -= head_->delta;
    TimerEntry* entry = head_;
    head_ = entry->next;
    entry->next = nullptr;
    due.push_back(entry);
    entries_.store(entries_.load(std::memory_order_relaxed) - 1, std::memory_order_release);
  }
  if (head_) head_->delta -= elapsed;
  return due;
}

std::vector<void*> TimerList::clear() {
  std::vector<void*> arguments;
  std::lock_guard guard(lock_);
  while (TimerEntry* entry = head_) {
    head_ = entry->next;
    arguments.push_back(entry->argument);
    release(entry);
  }
  entries_.store(0, std::memory_order_release);
  return arguments;
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
