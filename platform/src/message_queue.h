// One thread's message queue: posted messages, messages sent from other
// threads and waiting for an answer, and the thread's timers. Its signal
// descriptor is readable while messages other threads posted or sent wait
// (or messages behind them), so waits can watch it together with other
// objects; timers are waited for by time.
// A wait for input that the queue does not hold, while it holds other
// input, watches the arrival descriptor instead: readable once anything
// new comes, so the wait sleeps rather than waking for what it ignores.
#pragma once

#include "platform/messages.h"
#include "signal_flag.h"
#include "wait_sources.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::detail {

// A message sent from another thread; `done` is set once `result` holds
// the answer (or the receiving thread ended without answering: 0).
struct SentMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  SignalFlag done;
};

// Which messages a retrieval takes: a null window takes all, (HWND)-1
// only thread messages; a 0..0 range takes every number.
struct MessageFilter {
  HWND window;
  UINT first;
  UINT last;
  bool matches(const MSG& message) const noexcept;
};

class MessageQueue {
 public:
  explicit MessageQueue(DWORD threadId) noexcept : threadId_(threadId) {}
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  bool valid() const noexcept { return signal_.valid() && arrival_.valid(); }
  DWORD threadId() const noexcept { return threadId_; }
  int descriptor() const noexcept { return signal_.descriptor(); }

  // Both fail once the queue's thread has ended.
  bool post(const MSG& message) noexcept;
  bool deliverSent(std::shared_ptr<SentMessage> message) noexcept;

  std::shared_ptr<SentMessage> takeSent() noexcept;
  // The next input of a retrieval, in one look under the lock: a message
  // another thread sent comes first and is handed out in `sent` (false is
  // returned; the caller answers it and looks again), then the first posted
  // message that passes `filter`, then a due timer that does.
  bool take(const MessageFilter& filter, bool remove, MSG* out, std::shared_ptr<SentMessage>& sent) noexcept;
  // Input of the wake mask, posted messages and timers only where they
  // pass `filter` (when given).
  bool hasInput(DWORD wakeMask, uint64_t now, const MessageFilter* filter = nullptr) const noexcept;
  // Milliseconds until the next timer (that passes `filter`) falls due;
  // INFINITE without one.
  DWORD timeToNextTimer(uint64_t now, const MessageFilter* filter = nullptr) const noexcept;
  bool signalled() const noexcept { return signal_.isSet(); }
  // Brings the signal in line with the queue: a poster signals after
  // leaving the lock, so its signal may come after the message was taken.
  void settle() noexcept;

  // Arrivals, for the queue's own thread: after arm, the arrival
  // descriptor becomes readable with the next message posted or sent.
  void armArrivals() noexcept;
  void disarmArrivals() noexcept;
  int arrivalDescriptor() const noexcept { return arrival_.descriptor(); }

  // 0 when the timer cannot be made.
  UINT_PTR setTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure,
                    uint64_t now) noexcept;
  bool killTimer(HWND window, UINT_PTR timerId) noexcept;
  void killTimersOf(HWND window) noexcept;

  // The thread ended: refuse new messages and answer every sent one with 0.
  void tearDown() noexcept;

  // What the thread's message waits watch beside the queue.
  WaitSources& sources() noexcept { return sources_; }
  // Wakes a wait on the queue without giving it input: it looks again at
  // what it watches.
  void nudge() noexcept;

 private:
  struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC procedure;
    uint64_t due;
  };

  void updateSignalLocked() noexcept;
  std::shared_ptr<SentMessage> popSentLocked() noexcept;
  static MSG timerMessage(const Timer& timer) noexcept {
    return MSG{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), 0, {0, 0}};
  }

  // Signals a new message, after the lock is left.
  void announce(bool toArrivals) noexcept;

  const DWORD threadId_;
  SignalFlag signal_;
  SignalFlag arrival_;
  bool watchingArrivals_ = false;
  mutable std::mutex lock_;
  std::deque<MSG> posted_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::vector<Timer> timers_;
  UINT_PTR nextThreadTimerId_ = 1;
  bool ended_ = false;
  WaitSources sources_;
};

// The queue of a thread, or null when it has none (yet).
std::shared_ptr<MessageQueue> findQueue(DWORD threadId) noexcept;
// The calling thread's queue, created on first use; null when it cannot be.
MessageQueue* callingThreadQueue() noexcept;
// The calling thread's queue if it has one.
MessageQueue* existingCallingThreadQueue() noexcept;

// Answers every message other threads sent to the calling thread, whose
// queue this is.
void answerSentMessages(MessageQueue& queue);

}  // namespace platform::detail
