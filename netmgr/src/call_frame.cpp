// The common call frame of the exported functions.
#include "call_frame.h"

namespace netmgr {

bool CallFrame::started() {
  if (library().started.load()) return true;
  library().globalError.store(SNMPAPI_NOT_INITIALIZED);
  return false;
}

// A session already found live in this call needs no second look (the
// validation is given it as the known live session).
ObjectHeader* CallFrame::accept(ObjectHeader* object, uint32_t refusal) {
  if (!object) {
    fail(lastRefusal_ == Refusal::sessionNotLive ? SNMPAPI_SESSION_INVALID : refusal);
    return nullptr;
  }
  if (!session_) session_ = object->session;
  return object;
}

void CallFrame::beginWork() {
  if (session_) session_->lastError.store(0, std::memory_order_relaxed);
}

SNMPAPI_STATUS CallFrame::fail(uint32_t code) {
  library().globalError.store(code);
  // The session may have been closed meanwhile; its error word is only
  // written while it is still registered.
  if (session_ && isLiveSession(session_)) session_->lastError.store(code);
  return SNMPAPI_FAILURE;
}

}  // namespace netmgr
