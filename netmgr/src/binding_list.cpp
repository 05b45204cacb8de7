// Binding lists and their exports: creation, duplication, release,
// counting, reading, setting and deleting entries.
#include "binding_list.h"

#include "call_frame.h"
#include "library.h"

#include <cstddef>

namespace netmgr {
namespace {

platform::CountedHeap& listHeap() { return heapOf(ObjectKind::list); }

// The last entry, when it carries the varbind marker; null otherwise.
Varbind* lastEntry(const BindingList& list, bool& damaged) {
  LONG position = -1;
  auto* last = static_cast<Varbind*>(TreeGetItem(list.entries, nullptr, &position, TREE_GET_LAST));
  damaged = last && last->header.marker != kVarbindMarker;
  return damaged ? nullptr : last;
}

// Appends a new varbind with index count + 1. Returns 0 or the error; on
// failure nothing is left behind.
[[nodiscard]] uint32_t appendEntry(BindingList& list, const smiOID& name, const smiVALUE* value) {
  bool damaged = false;
  Varbind* last = lastEntry(list, damaged);
  if (damaged) return SNMPAPI_VBL_EMPTY;
  Varbind* varbind = nullptr;
  if (uint32_t error = makeVarbind(list.header.session, name, value, varbind)) return error;
  varbind->index = last ? last->index + 1 : 1;
  varbind->header.self = varbind;
  varbind->header.marker = kVarbindMarker;
  if (!TreeInsertItem(list.entries, varbind, nullptr, nullptr, 0, 0)) {
    releaseVarbind(varbind);
    return SNMPAPI_ALLOC_ERROR;
  }
  return 0;
}

}  // namespace

uint32_t appendEntries(BindingList& list, const smiOID* names, const smiVALUE* values, size_t count) {
  bool damaged = false;
  Varbind* last = lastEntry(list, damaged);
  if (damaged) return SNMPAPI_VBL_EMPTY;
  Varbind* made[kVarbindBatch];
  if (uint32_t error = makeVarbinds(list.header.session, names, values, count, made)) return error;
  smiUINT32 index = last ? last->index : 0;
  for (size_t appended = 0; appended < count; ++appended) {
    Varbind* varbind = made[appended];
    varbind->index = ++index;
    varbind->header.self = varbind;
    varbind->header.marker = kVarbindMarker;
    if (!TreeInsertItem(list.entries, varbind, nullptr, nullptr, 0, 0)) {
      releaseVarbinds(made + appended, count - appended);
      return SNMPAPI_ALLOC_ERROR;
    }
  }
  return 0;
}

BindingList* makeList(Session* session, uint32_t serial) {
  auto* list = listHeap().make<BindingList>();
  if (!list) return nullptr;
  LONG keyKind = TREE_KEY_INT32, keyOffset = offsetof(Varbind, index);
  list->entries = TreeCreate(TREE_KIND_SORTED_TABLE);
  if (!list->entries || !TreeControl(list->entries, TREE_CONTROL_KEY_KIND, &keyKind) ||
      !TreeControl(list->entries, TREE_CONTROL_KEY_OFFSET, &keyOffset)) {
    TreeDelete(list->entries);
    listHeap().dispose(list);
    return nullptr;
  }
  list->header.session = session;
  list->header.serial = serial;
  return list;
}

BindingList* createList(Session* session) {
  BindingList* list = makeList(session, nextSerial());
  if (list && registerObject(ObjectKind::list, &list->header) != 0) {
    releaseList(list);
    return nullptr;
  }
  return list;
}

void releaseList(BindingList* list) {
  Varbind* batch[kVarbindBatch];
  size_t count = 0;
  LONG position = -1;
  for (void* item = TreeGetItem(list->entries, nullptr, &position, TREE_GET_FIRST); item;
       item = TreeGetItem(list->entries, &position, &position, TREE_GET_NEXT)) {
    batch[count++] = static_cast<Varbind*>(item);
    if (count == kVarbindBatch) {
      releaseVarbinds(batch, count);
      count = 0;
    }
  }
  releaseVarbinds(batch, count);
  TreeDelete(list->entries);
  listHeap().dispose(list);
}

void discardList(BindingList* list) {
  if (retireObject(ObjectKind::list, &list->header)) releaseList(list);
}

void releaseAllLists() {
  while (ObjectHeader* object = firstLive(ObjectKind::list)) {
    if (retireObject(ObjectKind::list, object)) releaseList(reinterpret_cast<BindingList*>(object));
  }
}

smiUINT32 countEntries(const BindingList& list) {
  bool damaged = false;
  Varbind* last = lastEntry(list, damaged);
  return last ? last->index : 0;
}

Varbind* findEntry(const BindingList& list, smiUINT32 index) {
  LONG key = static_cast<LONG>(index);
  if (index == 0 || key < 0) return nullptr;
  return static_cast<Varbind*>(TreeFindItem(list.entries, TREE_FIND_BY_KEY, &key));
}

uint32_t setEntry(BindingList& list, smiUINT32 index, const smiOID* name, const smiVALUE* value) {
  if (!name) return SNMPAPI_OID_INVALID;
  if (Varbind* existing = findEntry(list, index)) return replaceVarbind(*existing, *name, value);
  if (index != 0 && index != countEntries(list) + 1) return SNMPAPI_INDEX_INVALID;
  return appendEntry(list, *name, value);
}

uint32_t deleteEntry(BindingList& list, smiUINT32 index) {
  Varbind* doomed = findEntry(list, index);
  if (!doomed) return SNMPAPI_INDEX_INVALID;
  TreeDeleteItem(list.entries, doomed);
  releaseVarbind(doomed);
  // The later entries keep their order, so renumbering in place keeps the
  // table sorted.
  LONG position = -1;
  for (void* item = TreeGetItem(list.entries, nullptr, &position, TREE_GET_FIRST); item;
       item = TreeGetItem(list.entries, &position, &position, TREE_GET_NEXT)) {
    auto* entry = static_cast<Varbind*>(item);
    if (entry->index > index) entry->index -= 1;
  }
  return 0;
}

}  // namespace netmgr

using namespace netmgr;

extern "C" {

// Creates a list, with a first varbind when a name is given. On failure
// nothing is left behind.
HSNMP_VBL SnmpCreateVbl(HSNMP_SESSION sessionHandle, smiLPCOID name, smiLPCVALUE value) {
  return runExport(Live<Session>{sessionHandle}, [&](CallFrame& frame, Session& session) -> HSNMP_VBL {
    BindingList* list = createList(&session);
    if (!list) return frame.failWith<HSNMP_VBL>(SNMPAPI_ALLOC_ERROR);
    if (name) {
      if (uint32_t error = setEntry(*list, 0, name, value)) {
        discardList(list);
        return frame.failWith<HSNMP_VBL>(error);
      }
    }
    return list;
  });
}

// A new list of `session` with copies of every entry, in order. On failure
// the new list is released.
HSNMP_VBL SnmpDuplicateVbl(HSNMP_SESSION sessionHandle, HSNMP_VBL listHandle) {
  return runExport(Live<BindingList>{listHandle}, Live<Session>{sessionHandle},
                   [&](CallFrame& frame, BindingList& source, Session& session) -> HSNMP_VBL {
                     BindingList* copy = createList(&session);
                     if (!copy) return frame.failWith<HSNMP_VBL>(SNMPAPI_ALLOC_ERROR);
                     for (smiUINT32 index = 1;; ++index) {
                       Varbind* entry = findEntry(source, index);
                       if (!entry) break;
                       if (uint32_t error = setEntry(*copy, 0, &entry->name, &entry->value)) {
                         discardList(copy);
                         return frame.failWith<HSNMP_VBL>(error);
                       }
                     }
                     return copy;
                   });
}

// Releases the list and every varbind in it.
SNMPAPI_STATUS SnmpFreeVbl(HSNMP_VBL listHandle) {
  return runExport(Taken<BindingList>{listHandle}, [&](CallFrame&, BindingList& list) -> SNMPAPI_STATUS {
    releaseList(&list);
    return SNMPAPI_SUCCESS;
  });
}

// The number of entries; an empty list gives 0 with error 1013.
SNMPAPI_STATUS SnmpCountVbl(HSNMP_VBL listHandle) {
  return runExport(Live<BindingList>{listHandle}, [&](CallFrame& frame, BindingList& list) -> SNMPAPI_STATUS {
    smiUINT32 count = countEntries(list);
    return count ? count : frame.fail(SNMPAPI_VBL_EMPTY);
  });
}

// Fresh descriptor copies of one entry's name and value; on failure both
// outputs are cleared (when given).
SNMPAPI_STATUS SnmpGetVb(HSNMP_VBL listHandle, smiUINT32 index, smiLPOID name, smiLPVALUE value) {
  return runExport(Live<BindingList>{listHandle}, [&](CallFrame& frame, BindingList& list) -> SNMPAPI_STATUS {
    Varbind* entry = findEntry(list, index);
    if (!entry) return frame.fail(SNMPAPI_INDEX_INVALID);
    if (!name || !value) return frame.fail(SNMPAPI_OTHER_ERROR);
    if (uint32_t error = copyVarbindOut(*entry, *name, *value)) return frame.fail(error);
    return SNMPAPI_SUCCESS;
  });
}

// Appends (index 0 or count + 1) or replaces an entry. On failure the
// list is unchanged.
SNMPAPI_STATUS SnmpSetVb(HSNMP_VBL listHandle, smiUINT32 index, smiLPCOID name, smiLPCVALUE value) {
  return runExport(Live<BindingList>{listHandle}, [&](CallFrame& frame, BindingList& list) -> SNMPAPI_STATUS {
    if (uint32_t error = setEntry(list, index, name, value)) return frame.fail(error);
    return SNMPAPI_SUCCESS;
  });
}

// Removes an entry; the later ones move one index lower.
SNMPAPI_STATUS SnmpDeleteVb(HSNMP_VBL listHandle, smiUINT32 index) {
  return runExport(Live<BindingList>{listHandle}, [&](CallFrame& frame, BindingList& list) -> SNMPAPI_STATUS {
    if (uint32_t error = deleteEntry(list, index)) return frame.fail(error);
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
