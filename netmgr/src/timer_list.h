// The library-wide timer list: entries sorted by due time, each holding its
// delay relative to the entry before it, so that adding is linear in the
// pending requests and each timer step costs nothing unless entries fall
// due. Every change happens under the list's own lock; callbacks run
// without it. Only adding allocates: entries handed out leave as a chain
// of the entries themselves, so that taking, withdrawing and clearing can
// never fail.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace netmgr {

struct Session;

using TimerCallback = void (*)(void* argument);

// What an entry does when it falls due, and what becomes of its argument
// when the list is cleared before that (nothing, without a discard).
struct TimerTask {
  TimerCallback run;
  void* argument;
  TimerCallback discard = nullptr;
};

struct TimerEntry {
  uint32_t delta;            // milliseconds after the previous entry's due time
  uint64_t registeredAt;     // tick count when added
  TimerTask task;
  const void* entityKey;     // withdrawal by entity
  const Session* session;    // withdrawal by request id is per session
  int32_t requestId;
  uint8_t version;           // the message version the request went out in
  TimerEntry* next;          // the list's order, then the chain's
};

// What an answer found among the entries of its session.
enum class Withdrawal {
  none,          // no entry with its request id
  withdrawn,     // the entry is ended and handed out
  otherVersion,  // an entry with its request id waits for another version
};

struct Withdrawn {
  void* argument;
  uint64_t elapsedMilliseconds;
};

class TimerList {
 public:
  ~TimerList();
  static void release(TimerEntry* entry);
  // Calls visit(entry) for each entry of a chain, in order, and releases
  // each after its visit.
  template <class Visit>
  static void consume(TimerEntry* chain, Visit&& visit) {
    while (TimerEntry* entry = chain) {
      chain = entry->next;
      visit(*entry);
      release(entry);
    }
  }

  // Adds an entry due `delay` milliseconds from now (after existing entries
  // due at the same time); `wasEmpty` tells the caller to wake the timer
  // thread. Returns 0, or 2 when memory runs out (nothing added).
  [[nodiscard]] uint32_t add(uint32_t delay, const TimerTask& task, const void* entityKey,
                            const Session* session, int32_t requestId, uint8_t version, bool& wasEmpty);
  // Ends the first entry of this session with this request id, if it went
  // out in this version; an entry of another version is left waiting.
  Withdrawal withdrawRequest(const Session* session, int32_t requestId, uint8_t version, Withdrawn& withdrawn);
  // Ends every entry of this entity: the chain of them, for consume().
  [[nodiscard]] TimerEntry* withdrawEntity(const void* entityKey);
  // Takes `elapsed` milliseconds off the list and returns the chain of the
  // entries that fell due, in due order, for the caller to run.
  [[nodiscard]] TimerEntry* takeDue(uint32_t elapsed);
  // Removes everything (clean-up): the chain of what was left.
  [[nodiscard]] TimerEntry* clear();
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
