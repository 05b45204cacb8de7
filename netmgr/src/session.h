// Sessions: an application's endpoint in the library. A session owns its
// lock and its last error; it owns itself in the handle sense.
#pragma once

#include "handles.h"
#include "platform/sync.h"
#include "winsnmp.h"

#include <atomic>

namespace netmgr {

struct Session {
  ObjectHeader header;
  std::atomic<uint32_t> lastError{0};
  CRITICAL_SECTION lock;
  uint32_t notificationMode = 0;
  ULONG_PTR notificationTarget = 0;
  UINT notificationMessage = 0;
  // The local IPv4 address text: the destination entity of what the
  // session decodes.
  char localAddress[21] = "127.0.0.1";
};

// Creates and registers a session object of the given notification mode.
// Null when memory runs out or the library is stopped.
Session* createSession(uint32_t mode, ULONG_PTR target, UINT message);
// Retires and releases a session; false when it was not live.
bool destroySession(Session* session);

}  // namespace netmgr
