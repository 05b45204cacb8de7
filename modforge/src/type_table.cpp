#include "modforge/type_table.h"

namespace modforge {

bool TypeTable::define(const std::string& name, const Syntax& syntax) {
  const TypeEntry* named = find(syntax.text);
  Syntax resolved = named ? named->syntax : syntax;
  auto [entry, added] = entries_.try_emplace(name);
  entry->second.syntax = std::move(resolved);
  entry->second.sequence = nextSequence_++;
  return !added;
}

const TypeEntry* TypeTable::find(const std::string& name) const {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

int TypeTable::baseTokenOf(const Syntax& syntax) const {
  const TypeEntry* named = find(syntax.text);
  return named ? named->syntax.baseToken : syntax.baseToken;
}

}  // namespace modforge
