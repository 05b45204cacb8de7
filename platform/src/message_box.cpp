// Message boxes: stderr unless a program installed its own way to show them.
#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace {

std::atomic<platform::MessageBoxHook> installedHook{nullptr};

// The answer of the box's default button, as if Enter had been pressed.
int defaultAnswer(UINT type) {
  bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return second ? IDCANCEL : IDOK;
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return second ? IDNO : IDYES;
    default:
      return IDOK;
  }
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (auto hook = installedHook.load()) return hook(owner, text, caption, type);
  return platform::messageBoxOnStderr(text, caption, type);
}

namespace platform {

int messageBoxOnStderr(const char* text, const char* caption, unsigned type) {
  std::fflush(stdout);  // the box comes after what the program printed before it
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  return defaultAnswer(type);
}

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) { return installedHook.exchange(hook); }

}  // namespace platform
