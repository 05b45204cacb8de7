// Varbinds: the entries of a binding list, each holding private copies of
// its name and value. A varbind belongs to exactly one list, which keys it
// by index and releases it; it is in no handle table, since no handle ever
// names it. One allocation holds the varbind and the copies it was made
// with, so decoding a varbind costs one block.
#pragma once

#include "handles.h"
#include "winsnmp.h"

#include <cstddef>
#include <cstdint>

namespace netmgr {

struct Varbind {
  ObjectHeader header;  // marker set while the varbind is in its list
  smiUINT32 index;      // 1-based position in its list: the entry table's key
  smiOID name;
  smiVALUE value;
  smiUINT32 inlineBytes;  // copies stored right after the varbind
};

// A new varbind of `session` holding copies of the name and value (a null
// value or an unknown syntax is NULL). Returns 0 or the error (2, 9, 77);
// on failure nothing is left allocated.
[[nodiscard]] uint32_t makeVarbind(Session* session, const smiOID& name, const smiVALUE* value,
                                   Varbind*& made);
// The most varbinds made or released in one call below: their blocks come
// from the varbind heap under one hold of its lock.
constexpr size_t kVarbindBatch = 32;
// As makeVarbind for `count` (at most kVarbindBatch) names and values at
// once, as a decoder reads them: each name has its sub-identifiers and
// each value is already in the form a varbind stores (a known syntax or
// NULL, only that syntax's member set, a buffer behind every non-empty
// string or OID), so nothing is normalised. Returns 0 or 2; on failure
// nothing is left allocated.
[[nodiscard]] uint32_t makeVarbinds(Session* session, const smiOID* names, const smiVALUE* values,
                                    size_t count, Varbind** made);
// Replaces the name and value with copies of the given ones. Returns 0 or
// the error; on failure the varbind keeps its old name and value.
[[nodiscard]] uint32_t replaceVarbind(Varbind& varbind, const smiOID& name, const smiVALUE* value);
// Fresh descriptor copies of the name and value for the application.
// Returns 0, or 2 with both outputs cleared.
[[nodiscard]] uint32_t copyVarbindOut(const Varbind& varbind, smiOID& name, smiVALUE& value);
// Clears the marker and releases the varbind with its buffers.
void releaseVarbind(Varbind* varbind);
// As releaseVarbind for `count` (at most kVarbindBatch) varbinds at once.
void releaseVarbinds(Varbind* const* varbinds, size_t count);
// Varbinds alive in any list.
long liveVarbinds();

}  // namespace netmgr
