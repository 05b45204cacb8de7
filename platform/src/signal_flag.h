// A flag that poll can watch through an eventfd that is readable while the
// flag is set. Setting and clearing happen under a mutex, but the write
// that makes the descriptor readable comes after the mutex is left: the
// write wakes the waiting thread, which goes for the mutex at once and
// would otherwise queue up behind the setter. Reading the flag takes no
// lock. So the descriptor may, for a moment, stay readable after a clear
// (a set and a clear crossed); a waiter that finds it readable with the
// flag clear calls settle, which drains it. The flag itself is always
// exact, and a set flag always has its write made or coming.
#pragma once

#include <atomic>
#include <mutex>

namespace platform::detail {

class SignalFlag {
 public:
  SignalFlag() noexcept;
  ~SignalFlag();
  SignalFlag(const SignalFlag&) = delete;
  SignalFlag& operator=(const SignalFlag&) = delete;

  // False when the descriptor could not be made (out of descriptors).
  bool valid() const noexcept { return descriptor_ >= 0; }
  int descriptor() const noexcept { return descriptor_; }

  void set() noexcept;
  void clear() noexcept;
  bool isSet() const noexcept { return set_.load(std::memory_order_acquire); }
  // Clears the flag; true when it was set (the acquiring side of an
  // auto-reset wait).
  bool take() noexcept;
  // Drains a descriptor left readable while the flag is clear.
  void settle() noexcept;

 private:
  void drainLocked() noexcept;

  std::mutex lock_;
  std::atomic<bool> set_{false};
  int descriptor_;
};

}  // namespace platform::detail
