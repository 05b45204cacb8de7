// The frame every export (except SnmpGetLastError and SnmpStartup) runs
// in: reset the global last error, refuse while the library is stopped,
// validate handle arguments in argument order, clear the owning session's
// last error, and on failure record the code globally and in the session.
// No exception leaves it: running out of memory anywhere inside becomes
// error 2, anything else error 1.
//
// An export names its handle arguments and gives the work as a body:
//
//   SNMPAPI_STATUS SnmpSetPort(HSNMP_ENTITY handle, UINT port) {
//     return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
//       entity.port = static_cast<uint16_t>(port);
//       return SNMPAPI_SUCCESS;
//     });
//   }
//
// The body runs only when every handle was accepted, and gets the objects
// in the same order. Failure is the result type's zero: SNMPAPI_FAILURE or
// a null handle.
#pragma once

#include "handles.h"
#include "library.h"
#include "session.h"
#include "winsnmp.h"

#include <cstddef>
#include <new>
#include <tuple>
#include <utility>

namespace netmgr {

struct Entity;
struct Context;
struct Pdu;
struct BindingList;

// Each handle kind's table and the error a handle of it that is not live
// gets.
template <ObjectKind Kind, uint32_t Refusal>
struct HandleKindOf {
  static constexpr ObjectKind kind = Kind;
  static constexpr uint32_t refusal = Refusal;
};
template <class Object>
struct HandleKind;
template <> struct HandleKind<Session> : HandleKindOf<ObjectKind::session, SNMPAPI_SESSION_INVALID> {};
template <> struct HandleKind<Entity> : HandleKindOf<ObjectKind::entity, SNMPAPI_ENTITY_INVALID> {};
template <> struct HandleKind<Context> : HandleKindOf<ObjectKind::context, SNMPAPI_CONTEXT_INVALID> {};
template <> struct HandleKind<Pdu> : HandleKindOf<ObjectKind::pdu, SNMPAPI_PDU_INVALID> {};
template <> struct HandleKind<BindingList> : HandleKindOf<ObjectKind::list, SNMPAPI_VBL_INVALID> {};

class CallFrame {
 public:
  // The error words order nothing else, so relaxed stores suffice (a
  // sequentially consistent store is a full barrier on every call).
  CallFrame() { library().globalError.store(0, std::memory_order_relaxed); }

  // False (error 18) while the library is not started.
  [[nodiscard]] bool started();

  // The object when the handle names a live object of its kind whose
  // owning session is live; otherwise null, with the kind's error (13, 5,
  // 3, 12, 15) recorded. The first valid object's session becomes the
  // session that failures are recorded in.
  template <class Object>
  Object* live(const void* handle) {
    return reinterpret_cast<Object*>(
        accept(findLiveOwned(HandleKind<Object>::kind, handle, session_, lastRefusal_), HandleKind<Object>::refusal));
  }
  // For the free calls: validates as above and, under the same hold of the
  // table lock, retires the object (marker cleared, out of its table), so
  // that only this call goes on to release it.
  template <class Object>
  Object* take(const void* handle) {
    return reinterpret_cast<Object*>(
        accept(retireLiveOwned(HandleKind<Object>::kind, handle, session_, lastRefusal_), HandleKind<Object>::refusal));
  }

  // Validation is over: clears the known session's last error.
  void beginWork();

  // Records `code` globally and in the known session; returns failure.
  SNMPAPI_STATUS fail(uint32_t code);
  template <class Handle>
  Handle failWith(uint32_t code) {
    fail(code);
    return nullptr;
  }

  // Runs `body()`; an exception it lets out is recorded as error 2 (out
  // of memory) or 1 (anything else) and gives the result type's zero.
  template <class Body>
  auto shielded(Body&& body) -> decltype(body()) {
    try {
      return body();
    } catch (const std::bad_alloc&) {
      fail(SNMPAPI_ALLOC_ERROR);
    } catch (...) {
      fail(SNMPAPI_OTHER_ERROR);
    }
    return {};
  }

 private:
  // Records a refusal (the kind's code, or 13 for a dead owner) or the
  // accepted object's session; returns the object.
  ObjectHeader* accept(ObjectHeader* object, uint32_t refusal);

  Session* session_ = nullptr;
  Refusal lastRefusal_ = Refusal::none;
};

// Handle arguments as runExport checks them.

// Must name a live object; the body gets it by reference.
template <class Object>
struct Live {
  const void* handle;
  Object* object = nullptr;
  bool check(CallFrame& frame) { return (object = frame.live<Object>(handle)) != nullptr; }
  Object& passed() const { return *object; }
};

// As Live, and the object is retired for the body to release.
template <class Object>
struct Taken {
  const void* handle;
  Object* object = nullptr;
  bool check(CallFrame& frame) { return (object = frame.take<Object>(handle)) != nullptr; }
  Object& passed() const { return *object; }
};

// May be null; when given it must be live. The body gets a pointer.
template <class Object>
struct Optional {
  const void* handle;
  Object* object = nullptr;
  bool check(CallFrame& frame) { return !handle || (object = frame.live<Object>(handle)) != nullptr; }
  Object* passed() const { return object; }
};

namespace frame_detail {

template <class Body, class Checks, size_t... Index>
auto run(Body& body, Checks& checks, std::index_sequence<Index...>) {
  using Result = decltype(body(std::declval<CallFrame&>(), std::get<Index>(checks).passed()...));
  CallFrame frame;
  return frame.shielded([&]() -> Result {
    if (!frame.started()) return Result{};
    if (!(std::get<Index>(checks).check(frame) && ...)) return Result{};
    frame.beginWork();
    return body(frame, std::get<Index>(checks).passed()...);
  });
}

}  // namespace frame_detail

// runExport(check..., body): the frame around one export. The checks are
// Live, Taken or Optional handle arguments, validated in the order given;
// the body is called as body(frame, object...) and its declared result
// type is the export's.
template <class... Arguments>
auto runExport(Arguments&&... arguments) {
  constexpr size_t kChecks = sizeof...(Arguments) - 1;
  auto all = std::forward_as_tuple(arguments...);
  return frame_detail::run(std::get<kChecks>(all), all, std::make_index_sequence<kChecks>{});
}

}  // namespace netmgr
