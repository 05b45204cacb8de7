// Reading a mapped SMIDB file. Every record, offset and length is checked
// against the record and the file before it is used, and every text must
// end inside its field, so that a damaged or hostile file is refused as a
// whole instead of being read out of bounds.
#pragma once

#include "definition.h"

#include <cstdint>
#include <vector>

namespace modbase {

struct ModuleContents {
  uint32_t formatVersion = 0;
  const char* description = nullptr;  // null when the header has none
  const char* moduleName = nullptr;   // null when the header has none
  std::vector<const char*> nameTable;
  std::vector<Definition> definitions;  // in file order, owner not yet set
};

struct ReadFailure {
  uint64_t offset = 0;  // of the record at fault
  const char* reason = "";
};

// Fills `contents` from the file bytes. False, with the record and the
// reason, when the file is refused; `contents` is then to be discarded.
[[nodiscard]] bool readModuleFile(const unsigned char* file, uint64_t size,
                                  ModuleContents& contents, ReadFailure& failure);

}  // namespace modbase
