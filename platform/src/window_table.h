// Window classes and the windows of this process, found by handle.
#pragma once

#include "message_queue.h"

#include <memory>
#include <string>

namespace platform::detail {

struct Window {
  HWND handle;
  WNDPROC procedure;
  std::string className;
  DWORD ownerThread;
  std::weak_ptr<MessageQueue> queue;
  RECT client;
};

std::shared_ptr<Window> findWindow(HWND handle) noexcept;
// Calls the procedure of a window the calling thread owns; 0 otherwise.
LRESULT callOwnWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace platform::detail
