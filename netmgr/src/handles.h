// Handle kinds, their markers and private heaps, and the six handle tables.
// A handle is the address of its object; the object's first field holds
// that address, which is the key of its table. A handle is trusted only
// after it was found in its table, under the table lock, with its kind's
// marker.
#pragma once

#include "ordmap.h"
#include "platform/heap.h"

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
// The private heap objects of this kind come from.
platform::CountedHeap& heapOf(ObjectKind kind);

// Creates the six tables (at start-up). False when memory runs out; then
// no table exists.
[[nodiscard]] bool createHandleTables();
// Deletes the tables (at clean-up); the objects themselves are not touched.
void deleteHandleTables();

// Sets the marker and enters the object in its kind's table. False when
// the library is stopped or memory runs out; the object is then unmarked.
[[nodiscard]] bool registerObject(ObjectKind kind, ObjectHeader* object);
// The object if `handle` is a live object of this kind, else null.
ObjectHeader* findLive(ObjectKind kind, const void* handle);
// As findLive, and the owner must be a live session as well.
bool isLiveSession(const Session* session);
// Atomically clears the marker and removes a live object from its table.
// Exactly one of several racing callers gets true; the others get false.
[[nodiscard]] bool retireObject(ObjectKind kind, ObjectHeader* object);
// Live objects of a kind (a snapshot), and their number.
std::vector<ObjectHeader*> liveObjects(ObjectKind kind);
long countLive(ObjectKind kind);

// Typed access for the object structs, which all start with an ObjectHeader.
template <class T>
ObjectHeader* headerOf(T* object) {
  return reinterpret_cast<ObjectHeader*>(object);
}

}  // namespace netmgr
