// Signal flags on eventfd: the counter is non-zero while the flag is set,
// and for a moment after a clear that crossed a set.
#include "signal_flag.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform::detail {

SignalFlag::SignalFlag() noexcept : descriptor_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SignalFlag::~SignalFlag() {
  if (descriptor_ >= 0) close(descriptor_);
}

void SignalFlag::set() noexcept {
  if (isSet()) return;
  {
    std::lock_guard guard(lock_);
    if (set_.load(std::memory_order_relaxed)) return;
    set_.store(true, std::memory_order_release);
  }
  uint64_t one = 1;
  // Cannot fail: the counter is at most a few units, far from its limit.
  [[maybe_unused]] ssize_t written = write(descriptor_, &one, sizeof one);
}

void SignalFlag::clear() noexcept {
  if (!isSet()) return;
  std::lock_guard guard(lock_);
  if (set_.load(std::memory_order_relaxed)) drainLocked();
}

bool SignalFlag::take() noexcept {
  if (!isSet()) return false;
  std::lock_guard guard(lock_);
  if (!set_.load(std::memory_order_relaxed)) return false;
  drainLocked();
  return true;
}

// Under the lock a clear flag has no write of its own to come: whatever
// the counter holds belongs to sets that were cleared since.
void SignalFlag::settle() noexcept {
  if (isSet()) return;
  std::lock_guard guard(lock_);
  if (!set_.load(std::memory_order_relaxed)) drainLocked();
}

void SignalFlag::drainLocked() noexcept {
  set_.store(false, std::memory_order_release);
  uint64_t value;
  [[maybe_unused]] ssize_t read_ = read(descriptor_, &value, sizeof value);
}

}  // namespace platform::detail
