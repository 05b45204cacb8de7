// Value syntaxes: which ones carry a separately allocated buffer, and the
// private copies of names and values that varbinds and PDUs keep.
#pragma once

#include "platform/heap.h"
#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

// BITS, OCTETS, OID, IPADDR, OPAQUE and NSAPADDR own a buffer; numbers,
// Counter64, NULL and the exceptions are held inline.
bool isDescriptorSyntax(smiUINT32 syntax);
// The syntaxes a varbind can hold; anything else is stored as NULL.
bool isKnownSyntax(smiUINT32 syntax);

// A private copy of `source` on `heap`; an empty OID gets no buffer.
// Returns 0, SNMPAPI_OID_INVALID for a length without a buffer, or
// SNMPAPI_ALLOC_ERROR; on failure `copy` is untouched.
[[nodiscard]] uint32_t copyOid(platform::CountedHeap& heap, const smiOID& source, smiOID& copy);
// A private copy of a value on `heap`: a null value or an unknown syntax
// becomes NULL. Returns 0, SNMPAPI_DESCRIPTOR_MISSING for a string or OID
// with a length but no buffer, or SNMPAPI_ALLOC_ERROR; on failure `copy`
// is untouched.
[[nodiscard]] uint32_t copyValue(platform::CountedHeap& heap, const smiVALUE* source, smiVALUE& copy);
// Gives a value's buffer back to `heap` and leaves the value NULL.
void releaseValue(platform::CountedHeap& heap, smiVALUE& value);
void releaseOid(platform::CountedHeap& heap, smiOID& oid);

}  // namespace netmgr
