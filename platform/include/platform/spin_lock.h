// A lock for critical sections of a few dozen instructions that never
// block inside (heap free lists, handle-table lookups). Taking it free is
// one atomic exchange and releasing it a plain store, where a mutex pays
// an atomic operation on both sides; on the paths that take several such
// locks per call that halves the cost. A waiter spins briefly and then
// yields its time slice, so a holder that was preempted can finish.
#pragma once

#include "platform/export.h"

#include <atomic>

namespace platform {

class PLATFORM_API SpinLock {
 public:
  constexpr SpinLock() noexcept = default;
  SpinLock(const SpinLock&) = delete;
  SpinLock& operator=(const SpinLock&) = delete;

  void lock() noexcept {
    if (!locked_.exchange(true, std::memory_order_acquire)) return;
    lockContended();
  }
  [[nodiscard]] bool try_lock() noexcept {
    return !locked_.load(std::memory_order_relaxed) && !locked_.exchange(true, std::memory_order_acquire);
  }
  void unlock() noexcept { locked_.store(false, std::memory_order_release); }

 private:
  void lockContended() noexcept;

  std::atomic<bool> locked_{false};
};

}  // namespace platform
