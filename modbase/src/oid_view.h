// An OID as a module file stores it: little-endian 32-bit sub-identifiers
// at any alignment, read in place.
#pragma once

#include "smidb_format.h"

#include "winsnmp.h"

#include <cstdint>
#include <vector>

namespace modbase {

class OidView {
 public:
  OidView() = default;
  OidView(const unsigned char* bytes, uint32_t count) : bytes_(bytes), count_(count) {}

  uint32_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  uint32_t operator[](uint32_t index) const { return smidb::load32(bytes_ + 4 * size_t(index)); }
  // The first `count` sub-identifiers (count <= size()).
  OidView prefix(uint32_t count) const { return {bytes_, count}; }

  const unsigned char* bytes() const { return bytes_; }

 private:
  const unsigned char* bytes_ = nullptr;
  uint32_t count_ = 0;
};

// OID order: sub-identifier by sub-identifier, a prefix before what it
// prefixes (the order of SnmpOidCompare over the full length).
int compareOids(OidView first, OidView second);

// A caller's OID in file byte order, to look up or compare against. Held
// in place up to kInline sub-identifiers (every look-up of a name has
// one), so that making it costs no allocation.
class OidKey {
 public:
  explicit OidKey(const smiOID& oid);
  OidKey(const OidKey&) = delete;
  OidKey& operator=(const OidKey&) = delete;
  OidView view() const { return {bytes_, count_}; }

 private:
  static constexpr uint32_t kInline = 32;
  unsigned char inline_[4 * kInline];
  std::vector<unsigned char> longer_;
  const unsigned char* bytes_;
  uint32_t count_;
};

}  // namespace modbase
