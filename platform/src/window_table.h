// Window classes and the windows of this process, found by handle.
#pragma once

#include "message_queue.h"

#include <memory>
#include <string>

namespace platform::detail {

struct Window {
  HWND handle;
  WNDPROC procedure;
  std::string className;  // upper case
  std::string title;
  DWORD ownerThread;
  std::weak_ptr<MessageQueue> queue;
  RECT client;
};

std::shared_ptr<Window> findWindow(HWND handle) noexcept;
// A window of this process with the class and title (null: any; both
// compared without case), or null.
HWND findLocalWindow(LPCSTR className, LPCSTR title) noexcept;
// The process whose window a handle names (the upper 32 bits).
inline unsigned long ownerProcessOf(HWND handle) noexcept {
  return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle) >> 32);
}
// Calls the procedure of a window the calling thread owns; 0 otherwise.
LRESULT callOwnWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace platform::detail
