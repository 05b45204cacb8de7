// Opening and closing sessions.
#include "call_frame.h"
#include "session.h"
#include "utility_library.h"

#include "platform/messages.h"

using namespace netmgr;

namespace {

// Sessions of the platform trap service need the utility library.
bool trapServiceAvailable() { return utilityLibrary() != nullptr; }

bool windowExists(HWND window) {
  RECT area;
  return window && GetClientRect(window, &area);
}

HSNMP_SESSION open(CallFrame& frame, uint32_t mode, ULONG_PTR target, UINT message) {
  uint32_t error = 0;
  Session* session = createSession(mode, target, message, error);
  if (!session) return frame.failWith<HSNMP_SESSION>(error);
  return session;
}

}  // namespace

extern "C" {

HSNMP_SESSION SnmpOpen(HWND window, UINT message) {
  CallFrame frame;
  if (!frame.started()) return nullptr;
  if (!windowExists(window)) return frame.failWith<HSNMP_SESSION>(SNMPAPI_HWND_INVALID);
  return open(frame, SNMPAPI_NOTIFY_WINDOW, reinterpret_cast<ULONG_PTR>(window), message);
}

HSNMP_SESSION SnmpOpenEx(smiUINT32 flags, ULONG_PTR target, UINT message) {
  CallFrame frame;
  if (!frame.started()) return nullptr;
  const smiUINT32 modes[] = {SNMPAPI_NOTIFY_WINDOW, SNMPAPI_NOTIFY_THREAD, SNMPAPI_NOTIFY_NONE,
                             SNMPAPI_NOTIFY_TRAP_SERVICE};
  smiUINT32 mode = 0;
  for (smiUINT32 candidate : modes) {
    if (flags & candidate) {
      mode = candidate;
      break;
    }
  }
  if (!mode) return frame.failWith<HSNMP_SESSION>(SNMPAPI_NOTIFY_MODE_UNKNOWN);
  if ((flags & SNMPAPI_NOTIFY_WINDOW) && !windowExists(reinterpret_cast<HWND>(target))) {
    return frame.failWith<HSNMP_SESSION>(SNMPAPI_HWND_INVALID);
  }
  if ((flags & SNMPAPI_NOTIFY_TRAP_SERVICE) && !trapServiceAvailable()) {
    return frame.failWith<HSNMP_SESSION>(SNMPAPI_TRAP_SERVICE_UNAVAILABLE);
  }
  return open(frame, mode, target, message);
}

SNMPAPI_STATUS SnmpClose(HSNMP_SESSION handle) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Session* session = frame.session(handle);
  if (!session) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (!destroySession(session)) return frame.fail(SNMPAPI_SESSION_INVALID);
  return SNMPAPI_SUCCESS;
}

}  // extern "C"
