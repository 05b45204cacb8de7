// The contended path of SpinLock: wait for the holder by reading (which
// keeps the cache line shared) before trying again, and yield once the
// holder has taken longer than a short critical section takes.
#include "platform/spin_lock.h"

#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#  include <immintrin.h>
#endif

namespace platform {
namespace {

constexpr int kSpinsBeforeYield = 100;

void relax() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#endif
}

}  // namespace

void SpinLock::lockContended() noexcept {
  for (int spins = 0;; ++spins) {
    if (!locked_.load(std::memory_order_relaxed) && !locked_.exchange(true, std::memory_order_acquire)) return;
    if (spins < kSpinsBeforeYield) relax();
    else std::this_thread::yield();
  }
}

}  // namespace platform
