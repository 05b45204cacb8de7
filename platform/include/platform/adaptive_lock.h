// A lock for short critical sections that may still block now and then (an
// allocation that reaches the system, a table that grows and copies
// itself). A waiter spins briefly, as for a SpinLock, and then sleeps until
// the holder lets go, so a holder that blocks or is preempted costs the
// waiters no processor time. Taking it free is one atomic operation and so
// is releasing it (a SpinLock's release is a plain store).
#pragma once

#include "platform/export.h"

#include <atomic>
#include <cstdint>

namespace platform {

class PLATFORM_API AdaptiveLock {
 public:
  constexpr AdaptiveLock() noexcept = default;
  AdaptiveLock(const AdaptiveLock&) = delete;
  AdaptiveLock& operator=(const AdaptiveLock&) = delete;

  void lock() noexcept {
    uint32_t expected = kFree;
    if (state_.compare_exchange_strong(expected, kHeld, std::memory_order_acquire, std::memory_order_relaxed)) return;
    lockContended();
  }
  [[nodiscard]] bool try_lock() noexcept {
    uint32_t expected = kFree;
    return state_.compare_exchange_strong(expected, kHeld, std::memory_order_acquire, std::memory_order_relaxed);
  }
  void unlock() noexcept {
    if (state_.exchange(kFree, std::memory_order_release) == kHeldWithSleepers) state_.notify_one();
  }

 private:
  static constexpr uint32_t kFree = 0;
  static constexpr uint32_t kHeld = 1;
  static constexpr uint32_t kHeldWithSleepers = 2;  // someone may sleep on it

  void lockContended() noexcept;

  std::atomic<uint32_t> state_{kFree};
};

}  // namespace platform
