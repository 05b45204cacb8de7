// One node or object-type record of a loaded module. Its texts and OID
// point into the module's mapped file.
#pragma once

#include "oid_view.h"

#include <cstdint>
#include <string_view>

namespace modbase {

struct LoadedModule;
struct TreeNode;

enum class DefinitionKind : uint8_t { node, objectType };

struct Definition {
  LoadedModule* module = nullptr;
  DefinitionKind kind = DefinitionKind::node;
  const char* name = nullptr;  // null when the record has none
  OidView oid;
  const char* description = nullptr;     // null when the record has none
  const char* definingModule = nullptr;  // name-table entry; null: the module's identity
  // Object types only.
  uint32_t syntax = 0;
  uint32_t access = 0;
  uint32_t status = 0;
  uint32_t baseSyntaxNameIndex = 0;
  uint32_t composedSyntaxNameIndex = 0;
  // Its module's identity is "RFC1155-SMI": it goes before the others.
  bool fromRfc1155Smi = false;
  // The tree node holding this definition; null while outside the tree.
  TreeNode* node = nullptr;

  bool belongsInTree() const { return name && !oid.empty(); }
};

}  // namespace modbase
