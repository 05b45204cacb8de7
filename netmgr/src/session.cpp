// Session objects: creation, registration and release.
#include "session.h"

#include "library.h"

namespace netmgr {

Session* createSession(uint32_t mode, ULONG_PTR target, UINT message) {
  auto* session = heapOf(ObjectKind::session).make<Session>();
  if (!session) return nullptr;
  session->header.session = session;
  session->header.serial = nextSerial();
  session->notificationMode = mode;
  session->notificationTarget = target;
  session->notificationMessage = message;
  InitializeCriticalSection(&session->lock);
  if (!registerObject(ObjectKind::session, &session->header)) {
    DeleteCriticalSection(&session->lock);
    heapOf(ObjectKind::session).dispose(session);
    return nullptr;
  }
  return session;
}

bool destroySession(Session* session) {
  {
    platform::CriticalSectionGuard guard(session->lock);
    if (!retireObject(ObjectKind::session, &session->header)) return false;
  }
  DeleteCriticalSection(&session->lock);
  heapOf(ObjectKind::session).dispose(session);
  return true;
}

}  // namespace netmgr
