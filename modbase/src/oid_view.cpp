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

OidKey::OidKey(const smiOID& oid) : count_(oid.ptr ? oid.len : 0) {
  unsigned char* bytes = inline_;
  if (count_ > kInline) {
    longer_.resize(4 * size_t(count_));
    bytes = longer_.data();
  }
  for (uint32_t index = 0; index < count_; ++index) smidb::store32(bytes + 4 * size_t(index), oid.ptr[index]);
  bytes_ = bytes;
}

}  // namespace modbase
