// The frame every export (except SnmpGetLastError and SnmpStartup) runs
// in: reset the global last error, refuse while the library is stopped,
// validate handle arguments in argument order, clear the owning session's
// last error, and on failure record the code globally and in the session.
#pragma once

#include "handles.h"
#include "library.h"
#include "session.h"
#include "winsnmp.h"

namespace netmgr {

struct Entity;
struct Context;
struct Pdu;
struct BindingList;

class CallFrame {
 public:
  // The error words order nothing else, so relaxed stores suffice (a
  // sequentially consistent store is a full barrier on every call).
  CallFrame() { library().globalError.store(0, std::memory_order_relaxed); }

  // False (error 18) while the library is not started.
  [[nodiscard]] bool started();

  // Each returns the object when the handle names a live object of its
  // kind whose owning session is live; otherwise null, with the kind's
  // error (13, 5, 3, 12, 15) recorded. The first valid object's session
  // becomes the session that failures are recorded in.
  Session* session(HSNMP_SESSION handle);
  Entity* entity(HSNMP_ENTITY handle);
  Context* context(HSNMP_CONTEXT handle);
  Pdu* pdu(HSNMP_PDU handle);
  BindingList* list(HSNMP_VBL handle);

  // For the free calls: each validates as above and, under the same hold
  // of the table lock, retires the object (marker cleared, out of its
  // table), so that only this call goes on to release it.
  Entity* takeEntity(HSNMP_ENTITY handle);
  Context* takeContext(HSNMP_CONTEXT handle);
  Pdu* takePdu(HSNMP_PDU handle);
  BindingList* takeList(HSNMP_VBL handle);

  // Validation is over: clears the known session's last error.
  void beginWork();

  // Records `code` globally and in the known session; returns failure.
  SNMPAPI_STATUS fail(uint32_t code);
  template <class Handle>
  Handle failWith(uint32_t code) {
    fail(code);
    return nullptr;
  }
  Session* knownSession() const { return session_; }

 private:
  ObjectHeader* validate(ObjectKind kind, const void* handle, uint32_t errorCode);
  ObjectHeader* take(ObjectKind kind, const void* handle, uint32_t errorCode);
  // Records a refusal (the kind's code, or 13 for a dead owner) or the
  // accepted object's session; returns the object.
  ObjectHeader* accept(ObjectHeader* object, Refusal refusal, uint32_t errorCode);

  Session* session_ = nullptr;
};

}  // namespace netmgr
