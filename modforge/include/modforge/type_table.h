// The type table: one entry per type assignment or TEXTUAL-CONVENTION,
// keyed by type name (byte-wise order).
#pragma once

#include "modforge/definition.h"

#include <map>
#include <string>

namespace modforge {

struct TypeEntry {
  Syntax syntax;
  int sequence = 0;
};

class TypeTable {
 public:
  // Stores `name` as a type with `syntax`, resolved one level: when the
  // syntax names a type already in the table, the entry copies that type's
  // syntax. Returns true when `name` was defined before; the later
  // definition replaces it.
  bool define(const std::string& name, const Syntax& syntax);

  [[nodiscard]] const TypeEntry* find(const std::string& name) const;
  // The base token of `syntax`, taken through the table when it names a
  // type defined there.
  [[nodiscard]] int baseTokenOf(const Syntax& syntax) const;
  [[nodiscard]] size_t size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  std::map<std::string, TypeEntry, std::less<>> entries_;
  int nextSequence_ = 0;
};

}  // namespace modforge
