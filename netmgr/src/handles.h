// Handle kinds, their markers and private heaps, and the six handle tables.
//
// Internal steps that can fail return 0 when they succeeded and otherwise
// the error code for the last error (SNMPAPI_ALLOC_ERROR and the like),
// throughout the library; a bool answers a question (is it live, did this
// caller get it) and never stands for success.
// A handle is the address of its object; the object's first field holds
// that address, which is the key of its table. A handle is trusted only
// after it was found in its table, under the table lock, with its kind's
// marker.
#pragma once

#include "ordmap.h"
#include "platform/heap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace netmgr {

enum class ObjectKind { session, entity, context, varbind, list, pdu };
constexpr int kObjectKinds = 6;

constexpr uint32_t kSessionMarker = 0x12345678;
constexpr uint32_t kEntityMarker = 0x23456789;
constexpr uint32_t kContextMarker = 0x34567890;
constexpr uint32_t kPduMarker = 0x56789012;
constexpr uint32_t kListMarker = 0x45678901;
constexpr uint32_t kVarbindMarker = 0x56789012;

struct Session;

// The fields every registered object starts with.
struct ObjectHeader {
  void* self;         // table key; must stay the first field
  Session* session;   // owning session (a session owns itself)
  uint32_t serial;
  uint32_t marker;
};

uint32_t markerOf(ObjectKind kind);
// The private heap objects of this kind come from. The heaps of the kinds
// that handles name hold every freed object back from reuse until this
// many more of its kind were freed, so that a handle used after it was
// freed fails with its kind's error rather than naming a newer object.
// Varbinds, which no handle names, are reused at once.
constexpr size_t kFreedHandlesHeldBack = 64;
platform::CountedHeap& heapOf(ObjectKind kind);

// Creates the six tables (at start-up). Returns 0, or 2 when memory runs
// out; then no table exists.
[[nodiscard]] uint32_t createHandleTables();
// Deletes the tables (at clean-up); the objects themselves are not touched.
void deleteHandleTables();

// Sets the marker and enters the object in its kind's table. Returns 0,
// or 2 when the library is stopped or memory runs out; the object is then
// unmarked.
[[nodiscard]] uint32_t registerObject(ObjectKind kind, ObjectHeader* object);
struct Registration {
  ObjectKind kind;
  ObjectHeader* object;
};
// Registers several objects under one hold of the table lock, all or
// none: on failure (2) every one of them is unmarked and in no table.
[[nodiscard]] uint32_t registerObjects(const Registration* registrations, size_t count);
// The object if `handle` is a live object of this kind, else null.
ObjectHeader* findLive(ObjectKind kind, const void* handle);
bool isLiveSession(const Session* session);
// Atomically clears the marker and removes a live object from its table.
// Exactly one of several racing callers gets true; the others get false.
[[nodiscard]] bool retireObject(ObjectKind kind, ObjectHeader* object);

// Why a handle was refused by the checks below.
enum class Refusal { none, notLive, sessionNotLive };
// The object if `handle` is a live object of this kind whose owning
// session is live too (an owner equal to `knownLive`, a session the
// caller found live already, is not looked up again). One hold of the
// table lock answers both questions. Null with the reason otherwise.
ObjectHeader* findLiveOwned(ObjectKind kind, const void* handle, const Session* knownLive, Refusal& refusal);
// As findLiveOwned, and under the same hold of the lock the object is
// retired, so that exactly one of several racing callers gets it.
ObjectHeader* retireLiveOwned(ObjectKind kind, const void* handle, const Session* knownLive, Refusal& refusal);
// The first live object of a kind in its table, or null: clean-up takes
// them one by one, which needs no memory. And their number.
ObjectHeader* firstLive(ObjectKind kind);
long countLive(ObjectKind kind);
// The live objects of a kind as they are now (a snapshot). Returns 0, or
// 2 when memory runs out.
[[nodiscard]] uint32_t snapshotLive(ObjectKind kind, std::vector<ObjectHeader*>& objects);

// Typed access for the object structs, which all start with an ObjectHeader.
template <class T>
ObjectHeader* headerOf(T* object) {
  return reinterpret_cast<ObjectHeader*>(object);
}

}  // namespace netmgr
