// A flag that poll can watch: its eventfd is readable exactly while the
// flag is set. The flag itself lives under a mutex, so whoever reads it
// sees a consistent state whatever the descriptor said a moment ago.
#pragma once

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
  bool isSet() const noexcept;
  // Clears the flag; true when it was set (the acquiring side of an
  // auto-reset wait).
  bool take() noexcept;

 private:
  void drainLocked() noexcept;

  mutable std::mutex lock_;
  bool set_ = false;
  int descriptor_;
};

}  // namespace platform::detail
