// Varbinds: the entries of a binding list, each holding private copies of
// its name and value. A varbind is registered in the varbind table (so
// that clean-up finds it) and keyed by its index in its list's entry table.
#pragma once

#include "handles.h"
#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

struct Varbind {
  ObjectHeader header;
  smiUINT32 index;  // 1-based position in its list: the entry table's key
  smiOID name;
  smiVALUE value;
};

// A new, unregistered varbind of `session` holding copies of the name and
// value (a null value is NULL). Returns 0 or the error (2, 9, 77); on
// failure nothing is left allocated.
[[nodiscard]] uint32_t makeVarbind(Session* session, const smiOID& name, const smiVALUE* value,
                                   Varbind*& made);
// Replaces the name and value with copies of the given ones. Returns 0 or
// the error; on failure the varbind keeps its old name and value.
[[nodiscard]] uint32_t replaceVarbind(Varbind& varbind, const smiOID& name, const smiVALUE* value);
// Fresh descriptor copies of the name and value for the application.
// Returns 0, or 2 with both outputs cleared.
[[nodiscard]] uint32_t copyVarbindOut(const Varbind& varbind, smiOID& name, smiVALUE& value);

// Releases a varbind's buffers and the varbind itself; it must no longer
// be registered.
void releaseVarbind(Varbind* varbind);
// Retires a varbind from the varbind table and releases it, unless it was
// already retired (by clean-up, for example).
void discardVarbind(Varbind* varbind);
// Clean-up: releases every varbind still registered.
void releaseAllVarbinds();

}  // namespace netmgr
