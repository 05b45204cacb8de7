// Message boxes: stderr unless a program installed its own way to show them.
#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<platform::MessageBoxHook> installedHook{nullptr};
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (auto hook = installedHook.load()) return hook(owner, text, caption, type);
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  return IDOK;
}

namespace platform {

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) { return installedHook.exchange(hook); }

}  // namespace platform
