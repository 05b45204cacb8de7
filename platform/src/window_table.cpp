// Window classes and windows: process-wide tables under one lock. Window
// procedures always run without that lock held.
#include "window_table.h"

#include "messaging_teardown.h"
#include "published_windows.h"
#include "thread_record.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <strings.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace platform::detail {
namespace {

// Handles name windows in every process: the process id above the
// window's number in its process.
constexpr uintptr_t kFirstWindow = 0x10010;
constexpr uintptr_t kWindowStep = 0x10;

uintptr_t processPart() { return static_cast<uintptr_t>(getpid()) << 32; }

struct WindowClass {
  ATOM atom;
  WNDPROC procedure;
};

struct WindowTable {
  std::mutex lock;
  std::map<std::string, WindowClass> classes;  // by upper-case name
  ATOM nextAtom = 0xC000;
  std::unordered_map<uintptr_t, std::shared_ptr<Window>> windows;
  uintptr_t nextWindow = kFirstWindow;
};

// Never destroyed: threads may still end while the process exits.
WindowTable& windowTable() {
  static WindowTable* instance = new WindowTable;
  return *instance;
}

std::string upperCase(LPCSTR text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

void removeWindow(HWND handle) {
  {
    WindowTable& table = windowTable();
    std::lock_guard guard(table.lock);
    table.windows.erase(reinterpret_cast<uintptr_t>(handle));
  }
  withdrawWindow(handle);
}

bool sameText(const std::string& text, LPCSTR wanted) {
  return !wanted || strcasecmp(text.c_str(), wanted) == 0;
}

// Adds a window of the calling thread; null when the class is unknown.
std::shared_ptr<Window> addWindow(LPCSTR className, LPCSTR title, int width, int height, MessageQueue& queue) {
  WindowTable& table = windowTable();
  std::lock_guard guard(table.lock);
  auto windowClass = table.classes.find(upperCase(className));
  if (windowClass == table.classes.end()) return nullptr;
  auto window = std::make_shared<Window>();
  window->handle = reinterpret_cast<HWND>(processPart() | table.nextWindow);
  window->procedure = windowClass->second.procedure;
  window->className = windowClass->first;
  window->title = title ? title : "";
  window->ownerThread = queue.threadId();
  window->queue = findQueue(queue.threadId());
  window->client = RECT{0, 0, width == CW_USEDEFAULT ? 0 : width, height == CW_USEDEFAULT ? 0 : height};
  table.windows.emplace(reinterpret_cast<uintptr_t>(window->handle), window);
  table.nextWindow += kWindowStep;
  return window;
}

}  // namespace

std::shared_ptr<Window> findWindow(HWND handle) noexcept {
  WindowTable& table = windowTable();
  std::lock_guard guard(table.lock);
  auto found = table.windows.find(reinterpret_cast<uintptr_t>(handle));
  return found == table.windows.end() ? nullptr : found->second;
}

HWND findLocalWindow(LPCSTR className, LPCSTR title) noexcept {
  WindowTable& table = windowTable();
  std::lock_guard guard(table.lock);
  for (const auto& [key, window] : table.windows) {
    if (sameText(window->className, className) && sameText(window->title, title)) return window->handle;
  }
  return nullptr;
}

LRESULT callOwnWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  std::shared_ptr<Window> window = findWindow(handle);
  if (!window || window->ownerThread != currentThreadRecord().id() || !window->procedure) return 0;
  return window->procedure(handle, message, wParam, lParam);
}

void forgetWindowsOfThread(unsigned long threadId) noexcept {
  std::vector<HWND> forgotten;
  {
    WindowTable& table = windowTable();
    std::lock_guard guard(table.lock);
    std::erase_if(table.windows, [&](const auto& entry) {
      if (entry.second->ownerThread != threadId) return false;
      try {
        forgotten.push_back(entry.second->handle);
      } catch (...) {
      }
      return true;
    });
  }
  for (HWND handle : forgotten) withdrawWindow(handle);
}

}  // namespace platform::detail

using namespace platform::detail;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !*windowClass->lpszClassName) return 0;
  WindowTable& table = windowTable();
  std::lock_guard guard(table.lock);
  try {
    auto [entry, added] = table.classes.emplace(upperCase(windowClass->lpszClassName),
                                                WindowClass{table.nextAtom, windowClass->lpfnWndProc});
    if (!added) return 0;
  } catch (...) {
    return 0;
  }
  return table.nextAtom++;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className) return FALSE;
  std::string name = upperCase(className);
  WindowTable& table = windowTable();
  std::lock_guard guard(table.lock);
  bool inUse = std::any_of(table.windows.begin(), table.windows.end(),
                           [&](const auto& entry) { return entry.second->className == name; });
  return !inUse && table.classes.erase(name) == 1 ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter) {
  MessageQueue* queue = callingThreadQueue();
  if (!queue || !className) return nullptr;
  std::shared_ptr<Window> window;
  try {
    window = addWindow(className, windowName, width, height, *queue);
  } catch (...) {
    return nullptr;
  }
  if (!window) return nullptr;
  CREATESTRUCTA creation{parameter, instance, menu, parent, height, width, y, x,
                         static_cast<LONG>(style), windowName, className, exStyle};
  if (window->procedure &&
      window->procedure(window->handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
    removeWindow(window->handle);
    return nullptr;
  }
  return window->handle;
}

BOOL DestroyWindow(HWND handle) {
  std::shared_ptr<Window> window = findWindow(handle);
  if (!window || window->ownerThread != currentThreadRecord().id()) return FALSE;
  if (window->procedure) window->procedure(handle, WM_DESTROY, 0, 0);
  removeWindow(handle);
  if (auto queue = window->queue.lock()) queue->killTimersOf(handle);
  return TRUE;
}

