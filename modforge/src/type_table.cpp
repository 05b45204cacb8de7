#include "modforge/type_table.h"

#include "modforge/token.h"

namespace modforge {

bool TypeTable::define(const std::string& name, const Syntax& syntax) {
  const TypeEntry* named = find(syntax.text);
  Syntax resolved = named ? named->syntax : syntax;
  if (syntax.applicationTag >= 0) resolved.applicationTag = syntax.applicationTag;
  auto [entry, added] = entries_.try_emplace(name);
  entry->second.syntax = std::move(resolved);
  entry->second.sequence = nextSequence_++;
  return !added;
}

const TypeEntry* TypeTable::find(const std::string& name) const {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

const TypeEntry* TypeTable::namedBy(const Syntax& syntax) const {
  return syntax.baseToken == kIdentifier ? find(syntax.text) : nullptr;
}

int TypeTable::baseTokenOf(const Syntax& syntax) const {
  const TypeEntry* named = namedBy(syntax);
  return named ? named->syntax.baseToken : syntax.baseToken;
}

int TypeTable::applicationTagOf(const Syntax& syntax) const {
  if (syntax.applicationTag >= 0) return syntax.applicationTag;
  const TypeEntry* named = namedBy(syntax);
  return named ? named->syntax.applicationTag : -1;
}

}  // namespace modforge
