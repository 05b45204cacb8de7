// The waits of the Win32 shape, and the wait on sockets and messages.
#include "platform/sockets.h"
#include "platform/waits.h"
#include "thread_record.h"
#include "wait_core.h"

#include <cerrno>
#include <thread>
#include <vector>

using namespace platform::detail;

namespace {

DWORD resultOf(const WaitResult& result, DWORD count) {
  switch (result.outcome) {
    case WaitOutcome::object: return WAIT_OBJECT_0 + static_cast<DWORD>(result.index);
    case WaitOutcome::input: return WAIT_OBJECT_0 + count;
    case WaitOutcome::timeout: return WAIT_TIMEOUT;
    default: return WAIT_FAILED;
  }
}

}  // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  std::shared_ptr<Waitable> object = findHandle(handle);
  if (!object) return WAIT_FAILED;
  WaitRequest request;
  request.objects = {&object, 1};
  request.timeout = milliseconds;
  return resultOf(waitFor(request), 1);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
  if (waitAll || (count > 0 && !handles)) return WAIT_FAILED;
  MessageQueue* queue = callingThreadQueue();
  if (!queue) return WAIT_FAILED;
  std::vector<std::shared_ptr<Waitable>> objects;
  try {
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
      objects.push_back(findHandle(handles[i]));
      if (!objects.back()) return WAIT_FAILED;
    }
  } catch (...) {
    return WAIT_FAILED;
  }
  WaitRequest request;
  request.objects = objects;
  request.queue = queue;
  request.wakeMask = wakeMask;
  request.timeout = milliseconds;
  return resultOf(waitFor(request), count);
}

void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  WaitRequest request;  // nothing to wait for but the time and a termination
  request.timeout = milliseconds;
  waitFor(request);
}

namespace platform {

int waitForSocketsOrMessages(LPWSAPOLLFD sockets, ULONG count, DWORD timeout) {
  MessageQueue* queue = callingThreadQueue();
  if (!queue || (count > 0 && !sockets)) {
    WSASetLastError(EINVAL);
    return SOCKET_ERROR;
  }
  WaitRequest request;
  request.queue = queue;
  request.wakeMask = QS_ALLINPUT;
  request.sockets = {sockets, count};
  request.timeout = timeout;
  WaitResult result = waitFor(request);
  if (result.outcome == WaitOutcome::failed) {
    WSASetLastError(result.error);
    return SOCKET_ERROR;
  }
  return result.outcome == WaitOutcome::sockets ? static_cast<int>(result.index) : 0;
}

}  // namespace platform
