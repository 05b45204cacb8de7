// Binding lists: varbinds kept in a sorted table keyed by their index.
// Invariant: the indices are exactly 1..n, so the count is the index of
// the last entry, and the encoder can walk 1..n.
#pragma once

#include "handles.h"
#include "ordmap.h"
#include "varbind.h"
#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

struct BindingList {
  ObjectHeader header;
  HTREE entries;  // varbinds keyed by index
};

// Makes an empty list of `session` with the given serial number, not yet
// registered; null when memory runs out.
BindingList* makeList(Session* session, uint32_t serial);
// As makeList, and registers it.
BindingList* createList(Session* session);
// Releases a list that was retired from its table or never registered,
// with every varbind in it.
void releaseList(BindingList* list);
// Retires a registered list and releases it, unless another caller
// retired it first.
void discardList(BindingList* list);
// Clean-up: releases every list still registered, and so every varbind.
void releaseAllLists();

// The number of entries; 0 when the list is empty or its last entry is
// damaged (not a varbind).
smiUINT32 countEntries(const BindingList& list);
// The entry with this index, or null.
Varbind* findEntry(const BindingList& list, smiUINT32 index);

// Index 0 or count + 1 appends; an existing index replaces that entry's
// name and value. Returns 0 or the error: 7 for an index beyond count + 1,
// 9 without a name, 2 when memory runs out, 1013 when the last entry is
// damaged. On failure the list is unchanged.
[[nodiscard]] uint32_t setEntry(BindingList& list, smiUINT32 index, const smiOID* name,
                                const smiVALUE* value);
// Appends `count` (at most kVarbindBatch) decoded varbinds after the last
// entry, their blocks made in one call (see makeVarbinds for the form the
// names and values must have). Returns 0 or the error (2, 1013); on
// failure the varbinds appended before the failing one stay.
[[nodiscard]] uint32_t appendEntries(BindingList& list, const smiOID* names, const smiVALUE* values,
                                     size_t count);
// Removes an entry and renumbers the later ones one lower. Returns 0 or 7.
[[nodiscard]] uint32_t deleteEntry(BindingList& list, smiUINT32 index);

}  // namespace netmgr
