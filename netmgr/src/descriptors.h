// The descriptor heap: every buffer the library hands to the application
// (OID arrays, octet strings, encoded messages) comes from it and goes back
// only through SnmpFreeDescriptor or internal release. The heap is created
// by the first allocation and destroyed when its count returns to zero.
#pragma once

#include <cstddef>

namespace netmgr {

// Null for 0 bytes and when memory runs out.
[[nodiscard]] void* allocateDescriptor(size_t bytes);
// False for null or a buffer the heap does not own.
bool releaseDescriptor(void* buffer);
long liveDescriptors();

}  // namespace netmgr
