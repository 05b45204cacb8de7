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
  // syntax (and keeps its own tag, when it has one). Returns true when
  // `name` was defined before; the later definition replaces it.
  bool define(const std::string& name, const Syntax& syntax);

  [[nodiscard]] const TypeEntry* find(const std::string& name) const;
  // The base token and the application tag of `syntax`, taken through the
  // table when it names, by identifier, a type defined there. A reserved
  // word (Counter, IpAddress ...) is a base type of its own.
  [[nodiscard]] int baseTokenOf(const Syntax& syntax) const;
  [[nodiscard]] int applicationTagOf(const Syntax& syntax) const;
  [[nodiscard]] size_t size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  const TypeEntry* namedBy(const Syntax& syntax) const;

  std::map<std::string, TypeEntry, std::less<>> entries_;
  int nextSequence_ = 0;
};

}  // namespace modforge
