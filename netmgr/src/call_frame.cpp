// The common call frame of the exported functions.
#include "call_frame.h"

namespace netmgr {

bool CallFrame::started() {
  if (library().started.load()) return true;
  library().globalError.store(SNMPAPI_NOT_INITIALIZED);
  return false;
}

ObjectHeader* CallFrame::accept(ObjectHeader* object, Refusal refusal, uint32_t errorCode) {
  if (!object) {
    fail(refusal == Refusal::sessionNotLive ? SNMPAPI_SESSION_INVALID : errorCode);
    return nullptr;
  }
  if (!session_) session_ = object->session;
  return object;
}

// A session already found live in this call needs no second look.
ObjectHeader* CallFrame::validate(ObjectKind kind, const void* handle, uint32_t errorCode) {
  Refusal refusal = Refusal::none;
  ObjectHeader* object = findLiveOwned(kind, handle, session_, refusal);
  return accept(object, refusal, errorCode);
}

ObjectHeader* CallFrame::take(ObjectKind kind, const void* handle, uint32_t errorCode) {
  Refusal refusal = Refusal::none;
  ObjectHeader* object = retireLiveOwned(kind, handle, session_, refusal);
  return accept(object, refusal, errorCode);
}

Session* CallFrame::session(HSNMP_SESSION handle) {
  return reinterpret_cast<Session*>(validate(ObjectKind::session, handle, SNMPAPI_SESSION_INVALID));
}

Entity* CallFrame::entity(HSNMP_ENTITY handle) {
  return reinterpret_cast<Entity*>(validate(ObjectKind::entity, handle, SNMPAPI_ENTITY_INVALID));
}

Context* CallFrame::context(HSNMP_CONTEXT handle) {
  return reinterpret_cast<Context*>(validate(ObjectKind::context, handle, SNMPAPI_CONTEXT_INVALID));
}

Pdu* CallFrame::pdu(HSNMP_PDU handle) {
  return reinterpret_cast<Pdu*>(validate(ObjectKind::pdu, handle, SNMPAPI_PDU_INVALID));
}

BindingList* CallFrame::list(HSNMP_VBL handle) {
  return reinterpret_cast<BindingList*>(validate(ObjectKind::list, handle, SNMPAPI_VBL_INVALID));
}

Entity* CallFrame::takeEntity(HSNMP_ENTITY handle) {
  return reinterpret_cast<Entity*>(take(ObjectKind::entity, handle, SNMPAPI_ENTITY_INVALID));
}

Context* CallFrame::takeContext(HSNMP_CONTEXT handle) {
  return reinterpret_cast<Context*>(take(ObjectKind::context, handle, SNMPAPI_CONTEXT_INVALID));
}

Pdu* CallFrame::takePdu(HSNMP_PDU handle) {
  return reinterpret_cast<Pdu*>(take(ObjectKind::pdu, handle, SNMPAPI_PDU_INVALID));
}

BindingList* CallFrame::takeList(HSNMP_VBL handle) {
  return reinterpret_cast<BindingList*>(take(ObjectKind::list, handle, SNMPAPI_VBL_INVALID));
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
