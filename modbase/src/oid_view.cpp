#include "oid_view.h"

#include <algorithm>

namespace modbase {

int compareOids(OidView first, OidView second) {
  uint32_t common = std::min(first.size(), second.size());
  for (uint32_t index = 0; index < common; ++index) {
    uint32_t a = first[index], b = second[index];
    if (a != b) return a < b ? -1 : 1;
  }
  return first.size() < second.size() ? -1 : first.size() > second.size() ? 1 : 0;
}

OidKey::OidKey(const smiOID& oid) : bytes_(4 * size_t(oid.ptr ? oid.len : 0)), count_(oid.ptr ? oid.len : 0) {
  for (uint32_t index = 0; index < count_; ++index) smidb::store32(bytes_.data() + 4 * size_t(index), oid.ptr[index]);
}

}  // namespace modbase
