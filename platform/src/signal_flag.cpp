// Signal flags on eventfd: the counter is 1 while the flag is set, 0 else.
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
  std::lock_guard guard(lock_);
  if (set_) return;
  set_ = true;
  uint64_t one = 1;
  // Cannot fail: the counter is 0 here, far from its limit.
  [[maybe_unused]] ssize_t written = write(descriptor_, &one, sizeof one);
}

void SignalFlag::clear() noexcept {
  std::lock_guard guard(lock_);
  if (set_) drainLocked();
}

bool SignalFlag::isSet() const noexcept {
  std::lock_guard guard(lock_);
  return set_;
}

bool SignalFlag::take() noexcept {
  std::lock_guard guard(lock_);
  if (!set_) return false;
  drainLocked();
  return true;
}

void SignalFlag::drainLocked() noexcept {
  set_ = false;
  uint64_t value;
  [[maybe_unused]] ssize_t read_ = read(descriptor_, &value, sizeof value);
}

}  // namespace platform::detail
