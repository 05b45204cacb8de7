// Handles of waitable objects: small numbers in a process-wide table, so a
// stale or made-up handle is refused instead of followed, and an object
// stays alive while a wait holds it even if its handle is closed meanwhile.
#pragma once

#include "platform/win32_types.h"

#include <memory>

namespace platform::detail {

class Waitable {
 public:
  virtual ~Waitable() = default;
  // Readable while the object may be signalled.
  virtual int descriptor() const noexcept = 0;
  // True when the object is signalled; an auto-reset object is reset.
  virtual bool acquire() noexcept = 0;
  // Called when the descriptor was readable but acquire said no: drains
  // what a crossed set and reset left behind (see SignalFlag).
  virtual void settle() noexcept {}
};

// Null when the table cannot grow.
HANDLE addHandle(std::shared_ptr<Waitable> object) noexcept;
// Null for an unknown handle. Resolves the current-thread pseudo-handle.
std::shared_ptr<Waitable> findHandle(HANDLE handle) noexcept;
bool removeHandle(HANDLE handle) noexcept;

template <class T>
std::shared_ptr<T> findHandleOf(HANDLE handle) noexcept {
  return std::dynamic_pointer_cast<T>(findHandle(handle));
}

}  // namespace platform::detail
