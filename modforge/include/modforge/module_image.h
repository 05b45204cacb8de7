// What the save of one compiled module writes, decided from the tree: the
// name table and the node and object-type records in file order, with the
// codes each record carries. The SMIDB writer turns this into bytes.
#pragma once

#include "modforge/compiler.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modforge {

struct ImageRecord {
  const Node* node = nullptr;
  bool objectType = false;
  // Index into the name table of the module that defines the node.
  uint32_t moduleIndex = 0;
  // Object types only.
  uint32_t syntaxCode = 0;
  uint32_t accessCode = 0;
  uint32_t statusCode = 0;
};

struct ModuleImage {
  std::string module;
  std::vector<std::string> names;
  std::vector<ImageRecord> records;
};

// The image of `module`: first the ancestors of its first node (in node
// list order) from the root down, then every node the module defines, in
// node list order. Nothing when the module defines no node.
[[nodiscard]] std::optional<ModuleImage> buildModuleImage(const Compiler& compiler, const std::string& module);

// Codes stored in object-type records: access 1..5, status 1..5 (0 when
// missing or unknown) and the syntax's BER tag.
[[nodiscard]] uint32_t accessCode(int accessToken);
[[nodiscard]] uint32_t statusCode(int statusToken);
[[nodiscard]] uint32_t syntaxCode(int baseToken);
// The syntax code of an object type's SYNTAX: an application tag (in
// front of it, or of the type it names) decides the SMI's tagged base
// types; otherwise the base token does.
[[nodiscard]] uint32_t syntaxCode(const TypeTable& types, const Syntax& syntax);

}  // namespace modforge
