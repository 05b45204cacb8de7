// The contended path of AdaptiveLock: spin while the holder is likely to
// be done soon, then mark the lock as having sleepers and sleep on it.
// A thread that wakes takes the lock in the marked state, so its release
// wakes the next sleeper, if any (at worst one needless wake-up).
#include "platform/adaptive_lock.h"

#include <immintrin.h>

namespace platform {
namespace {

constexpr int kSpinsBeforeSleep = 100;

}  // namespace

void AdaptiveLock::lockContended() noexcept {
  for (int spins = 0; spins < kSpinsBeforeSleep; ++spins) {
    uint32_t expected = kFree;
    if (state_.load(std::memory_order_relaxed) == kFree &&
        state_.compare_exchange_weak(expected, kHeld, std::memory_order_acquire, std::memory_order_relaxed)) {
      return;
    }
    _mm_pause();
  }
  while (state_.exchange(kHeldWithSleepers, std::memory_order_acquire) != kFree) {
    state_.wait(kHeldWithSleepers, std::memory_order_relaxed);
  }
}

}  // namespace platform
