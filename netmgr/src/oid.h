// Object identifier limits shared by the OID functions and the codec.
#pragma once

#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

// Longest OID SnmpStrToOid and SnmpOidCopy produce.
constexpr uint32_t kMaxOidLength = 1408;
// SnmpOidCompare's length limit must stay below this.
constexpr uint32_t kCompareLimit = 128;

// -1, 0 or 1 as `first` orders before, with or after `second`, looking at
// no more than `limit` leading sub-identifiers of each (0: no limit); of
// two OIDs equal over their common part, the shorter comes first.
int compareOids(const smiOID& first, const smiOID& second, smiUINT32 limit);

}  // namespace netmgr
