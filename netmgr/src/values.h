// Value syntaxes: which ones carry a separately allocated buffer, and the
// private copies of names and values that varbinds and PDUs keep.
#pragma once

#include "platform/heap.h"
#include "winsnmp.h"
#include "winsnmp_syntax.h"

#include <cstddef>
#include <cstdint>

namespace netmgr {

// BITS, OCTETS, OID, IPADDR, OPAQUE and NSAPADDR own a buffer; numbers,
// Counter64, NULL and the exceptions are held inline.
inline bool isDescriptorSyntax(smiUINT32 syntax) { return OvSnmpSyntaxHasDescriptor(syntax) != 0; }

// A value as it will be stored: a null value or an unknown syntax becomes
// NULL, only the member its syntax uses is kept, and a buffer still points
// at the source's. Returns 0, or SNMPAPI_DESCRIPTOR_MISSING for a string
// or OID with a length but no buffer.
[[nodiscard]] uint32_t normalizeValue(const smiVALUE* source, smiVALUE& value);

// A value's buffer: its address and size in octets (null and 0 for the
// syntaxes without one, and for empty strings and OIDs).
struct ValueBuffer {
  void* data;
  size_t bytes;
};
inline ValueBuffer bufferOf(const smiVALUE& value) {
  if (value.syntax == SNMP_SYNTAX_OID) {
    if (value.value.oid.len == 0) return {nullptr, 0};
    return {value.value.oid.ptr, sizeof(smiUINT32) * value.value.oid.len};
  }
  if (!isDescriptorSyntax(value.syntax) || value.value.string.len == 0) return {nullptr, 0};
  return {value.value.string.ptr, value.value.string.len};
}
// Points the value at a buffer holding a copy of its contents.
inline void rebaseValue(smiVALUE& value, void* copy) {
  if (value.syntax == SNMP_SYNTAX_OID) value.value.oid.ptr = static_cast<smiLPUINT32>(copy);
  else if (isDescriptorSyntax(value.syntax)) value.value.string.ptr = static_cast<smiLPBYTE>(copy);
}

// A private copy of `source` on `heap`; an empty OID gets no buffer.
// Returns 0, SNMPAPI_OID_INVALID for a length without a buffer, or
// SNMPAPI_ALLOC_ERROR; on failure `copy` is untouched.
[[nodiscard]] uint32_t copyOid(platform::CountedHeap& heap, const smiOID& source, smiOID& copy);
// A private copy of a value on `heap` (normalized as above). Returns 0,
// SNMPAPI_DESCRIPTOR_MISSING or SNMPAPI_ALLOC_ERROR; on failure `copy` is
// untouched.
[[nodiscard]] uint32_t copyValue(platform::CountedHeap& heap, const smiVALUE* source, smiVALUE& copy);
// Gives a value's buffer back to `heap` and leaves the value NULL.
void releaseValue(platform::CountedHeap& heap, smiVALUE& value);
void releaseOid(platform::CountedHeap& heap, smiOID& oid);

}  // namespace netmgr
