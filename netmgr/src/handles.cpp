// The six handle tables and the library-wide lock around them: the sorted
// tables are not safe for concurrent use, and every lookup, insertion and
// removal happens under this one lock. An insertion or removal may grow or
// shrink a table, which allocates and copies it, so a waiter for the lock
// sleeps once a short spin has not got it.
#include "handles.h"

#include "platform/adaptive_lock.h"
#include "winsnmp.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace netmgr {
namespace {

platform::AdaptiveLock tableLock;
HTREE tables[kObjectKinds] = {};

using WhenEmpty = platform::CountedHeap::WhenEmpty;
// In the order of ObjectKind.
platform::CountedHeap kindHeaps[kObjectKinds] = {
    platform::CountedHeap{WhenEmpty::keep, kFreedHandlesHeldBack},  // sessions
    platform::CountedHeap{WhenEmpty::keep, kFreedHandlesHeldBack},  // entities
    platform::CountedHeap{WhenEmpty::keep, kFreedHandlesHeldBack},  // contexts
    platform::CountedHeap{WhenEmpty::keep, 0},                      // varbinds
    platform::CountedHeap{WhenEmpty::keep, kFreedHandlesHeldBack},  // lists
    platform::CountedHeap{WhenEmpty::keep, kFreedHandlesHeldBack},  // PDUs
};

int indexOf(ObjectKind kind) { return static_cast<int>(kind); }

ObjectHeader* findLocked(ObjectKind kind, const void* handle) {
  HTREE table = tables[indexOf(kind)];
  if (!table || !handle) return nullptr;
  auto* object = static_cast<ObjectHeader*>(TreeFindItem(table, TREE_FIND_BY_KEY, &handle));
  if (!object || object != handle || object->marker != markerOf(kind)) return nullptr;
  return object;
}

// The owner of a found object must be live as well.
ObjectHeader* findOwnedLocked(ObjectKind kind, const void* handle, const Session* knownLive, Refusal& refusal) {
  ObjectHeader* object = findLocked(kind, handle);
  refusal = Refusal::notLive;
  if (!object) return nullptr;
  if (kind != ObjectKind::session && object->session != knownLive &&
      !findLocked(ObjectKind::session, object->session)) {
    refusal = Refusal::sessionNotLive;
    return nullptr;
  }
  refusal = Refusal::none;
  return object;
}

bool insertLocked(ObjectKind kind, ObjectHeader* object) {
  object->self = object;
  object->marker = markerOf(kind);
  HTREE table = tables[indexOf(kind)];
  if (table && TreeInsertItem(table, object, nullptr, nullptr, 0, 0)) return true;
  object->marker = 0;
  return false;
}

}  // namespace

uint32_t markerOf(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::session: return kSessionMarker;
    case ObjectKind::entity: return kEntityMarker;
    case ObjectKind::context: return kContextMarker;
    case ObjectKind::varbind: return kVarbindMarker;
    case ObjectKind::list: return kListMarker;
    case ObjectKind::pdu: return kPduMarker;
  }
  return 0;
}

platform::CountedHeap& heapOf(ObjectKind kind) { return kindHeaps[indexOf(kind)]; }

// The tables are made and deleted outside the lock, which guards only
// their publication.
uint32_t createHandleTables() {
  HTREE made[kObjectKinds] = {};
  // Order of creation: sessions, entities, contexts, varbinds, lists, PDUs.
  for (int kind = 0; kind < kObjectKinds; ++kind) {
    HTREE table = TreeCreate(TREE_KIND_SORTED_TABLE);
    LONG keyKind = TREE_KEY_POINTER, keyOffset = 0;
    if (!table || !TreeControl(table, TREE_CONTROL_KEY_KIND, &keyKind) ||
        !TreeControl(table, TREE_CONTROL_KEY_OFFSET, &keyOffset)) {
      TreeDelete(table);
      for (int created = 0; created < kind; ++created) TreeDelete(made[created]);
      return SNMPAPI_ALLOC_ERROR;
    }
    made[kind] = table;
  }
  std::lock_guard guard(tableLock);
  std::copy(std::begin(made), std::end(made), tables);
  return 0;
}

void deleteHandleTables() {
  HTREE doomed[kObjectKinds] = {};
  {
    std::lock_guard guard(tableLock);
    std::copy(std::begin(tables), std::end(tables), doomed);
    std::fill(std::begin(tables), std::end(tables), nullptr);
  }
  for (HTREE table : doomed) TreeDelete(table);
}

uint32_t registerObject(ObjectKind kind, ObjectHeader* object) {
  std::lock_guard guard(tableLock);
  return insertLocked(kind, object) ? 0 : SNMPAPI_ALLOC_ERROR;
}

uint32_t registerObjects(const Registration* registrations, size_t count) {
  std::lock_guard guard(tableLock);
  for (size_t done = 0; done < count; ++done) {
    if (insertLocked(registrations[done].kind, registrations[done].object)) continue;
    for (size_t undone = 0; undone < done; ++undone) {
      const Registration& registered = registrations[undone];
      registered.object->marker = 0;
      TreeDeleteItem(tables[indexOf(registered.kind)], registered.object);
    }
    return SNMPAPI_ALLOC_ERROR;
  }
  return 0;
}

ObjectHeader* findLive(ObjectKind kind, const void* handle) {
  std::lock_guard guard(tableLock);
  return findLocked(kind, handle);
}

bool isLiveSession(const Session* session) {
  return findLive(ObjectKind::session, session) != nullptr;
}

bool retireObject(ObjectKind kind, ObjectHeader* object) {
  std::lock_guard guard(tableLock);
  if (!findLocked(kind, object)) return false;
  object->marker = 0;
  TreeDeleteItem(tables[indexOf(kind)], object);
  return true;
}

ObjectHeader* findLiveOwned(ObjectKind kind, const void* handle, const Session* knownLive, Refusal& refusal) {
  std::lock_guard guard(tableLock);
  return findOwnedLocked(kind, handle, knownLive, refusal);
}

ObjectHeader* retireLiveOwned(ObjectKind kind, const void* handle, const Session* knownLive, Refusal& refusal) {
  std::lock_guard guard(tableLock);
  ObjectHeader* object = findOwnedLocked(kind, handle, knownLive, refusal);
  if (!object) return nullptr;
  object->marker = 0;
  TreeDeleteItem(tables[indexOf(kind)], object);
  return object;
}

// An entry without its marker (damaged) is passed over, so that clean-up
// taking the first live object until there is none always ends.
ObjectHeader* firstLive(ObjectKind kind) {
  std::lock_guard guard(tableLock);
  HTREE table = tables[indexOf(kind)];
  if (!table) return nullptr;
  LONG position = -1;
  for (void* item = TreeGetItem(table, nullptr, &position, TREE_GET_FIRST); item;
       item = TreeGetItem(table, &position, &position, TREE_GET_NEXT)) {
    auto* object = static_cast<ObjectHeader*>(item);
    if (object->marker == markerOf(kind)) return object;
  }
  return nullptr;
}

uint32_t snapshotLive(ObjectKind kind, std::vector<ObjectHeader*>& objects) {
  objects.clear();
  for (;;) {
    // The memory is taken before the table lock; a table that grew in
    // between is counted again.
    size_t room = static_cast<size_t>(countLive(kind)) + 8;
    try {
      objects.reserve(room);
    } catch (const std::bad_alloc&) {
      return SNMPAPI_ALLOC_ERROR;
    }
    std::lock_guard guard(tableLock);
    HTREE table = tables[indexOf(kind)];
    if (!table) return 0;
    LONG last = -1;
    TreeGetItem(table, nullptr, &last, TREE_GET_LAST);
    if (static_cast<size_t>(last + 1) > objects.capacity()) continue;
    LONG position = -1;
    for (void* item = TreeGetItem(table, nullptr, &position, TREE_GET_FIRST); item;
         item = TreeGetItem(table, &position, &position, TREE_GET_NEXT)) {
      auto* object = static_cast<ObjectHeader*>(item);
      if (object->marker == markerOf(kind)) objects.push_back(object);
    }
    return 0;
  }
}

long countLive(ObjectKind kind) {
  std::lock_guard guard(tableLock);
  HTREE table = tables[indexOf(kind)];
  if (!table) return 0;
  LONG last = -1;
  TreeGetItem(table, nullptr, &last, TREE_GET_LAST);
  return last + 1;
}

}  // namespace netmgr
