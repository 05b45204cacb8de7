// The library-wide timer list: entries sorted by due time, each holding its
// delay relative to the entry before it, so that adding is linear in the
// pending requests and each timer step costs nothing unless entries fall
// due. Every change happens under the list's own lock; callbacks run
// without it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace netmgr {

struct Session;

using TimerCallback = void (*)(void* argument);

struct TimerEntry {
  uint32_t delta;            // milliseconds after the previous entry's due time
  uint64_t registeredAt;     // tick count when added
  TimerCallback callback;
  void* argument;
  const void* entityKey;     // withdrawal by entity
  const Session* session;    // withdrawal by request id is per session
  int32_t requestId;
  TimerEntry* next;
};

struct Withdrawn {
  void* argument;
  uint64_t elapsedMilliseconds;
};

class TimerList {
 public:
  ~TimerList();
  // Releases an entry handed out by takeDue.
  static void release(TimerEntry* entry);

  // Adds an entry due `delay` milliseconds from now (after existing entries
  // due at the same time); `wasEmpty` tells the caller to wake the timer
  // thread. False when memory runs out (nothing added).
  [[nodiscard]] bool tryAdd(uint32_t delay, TimerCallback callback, void* argument, const void* entityKey,
                            const Session* session, int32_t requestId, bool& wasEmpty);
  // Ends the first entry of this session with this request id.
  bool withdrawRequest(const Session* session, int32_t requestId, Withdrawn& withdrawn);
  // Ends every entry of this entity; their arguments are returned.
  std::vector<void*> withdrawEntity(const void* entityKey);
  // Takes `elapsed` milliseconds off the list and returns the entries that
  // fell due, in due order; the caller runs and releases them.
  std::vector<TimerEntry*> takeDue(uint32_t elapsed);
  // Removes everything (clean-up); returns the arguments of what was left.
  std::vector<void*> clear();
  bool empty() const;
  size_t size() const;

 private:
  void unlink(TimerEntry* previous, TimerEntry* entry);

  mutable std::mutex lock_;
  TimerEntry* head_ = nullptr;
  // The number of entries, changed under the lock. Withdrawals read it
  // first: most decoded messages and freed entities match no entry, and
  // an empty list then costs no lock.
  std::atomic<size_t> entries_{0};
};

}  // namespace netmgr
