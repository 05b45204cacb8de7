// destroyThread: ask a thread to quit, with growing patience, then force it.
#include "udpwire/destroy_thread.h"

#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/module_file.h"
#include "platform/waits.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr int kAttempts = 11;
constexpr DWORD kNormalStep = 100;

std::atomic<DWORD> stepMilliseconds{kNormalStep};

void reportStuckThread(DWORD threadId, HANDLE thread, const char* name) {
  char text[512];
  std::snprintf(text, sizeof text, "Error while exiting thread %s, h: %08x id: %08x", name ? name : "",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(thread)), static_cast<unsigned>(threadId));
  char caption[1024] = "udpwire";
  platform::moduleFileName(reinterpret_cast<const void*>(&destroyThread), caption, sizeof caption);
  MessageBox(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int destroyThread(DWORD threadId, HANDLE thread, const char* name) {
  int callerPriority = GetThreadPriority(GetCurrentThread());
  if (callerPriority == THREAD_PRIORITY_ERROR_RETURN) callerPriority = THREAD_PRIORITY_NORMAL;
  int result = 0;
  for (int attempt = 1; attempt <= kAttempts && result == 0; ++attempt) {
    PostThreadMessage(threadId, UDPWIRE_QUIT_MESSAGE, 0, 0);
    ResumeThread(thread);
    if (WaitForSingleObject(thread, stepMilliseconds.load() * attempt) == WAIT_OBJECT_0) result = 1;
  }
  if (result == 0) {
    reportStuckThread(threadId, thread, name);
    TerminateThread(thread, 0);
  }
  CloseHandle(thread);
  SetThreadPriority(GetCurrentThread(), callerPriority);
  return result;
}

namespace udpwire {

void setDestroyThreadStep(DWORD milliseconds) {
  stepMilliseconds.store(milliseconds == 0 ? kNormalStep : milliseconds);
}

}  // namespace udpwire
