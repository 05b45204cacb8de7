// A module in memory: its registry entry, its mapped file and the
// definitions read from it, which point into the mapping.
#pragma once

#include "module_registry.h"
#include "smidb_reader.h"

#include "platform/filemap.h"

#include <memory>
#include <string>

namespace modbase {

struct LoadedModule {
  ModuleEntry entry;
  platform::MappedFile file;
  ModuleContents contents;
  uint32_t nodeCount = 0;  // definitions handed to the tree
};

// Finds the module in the registry, maps its file and reads it. Returns 0,
// or the error: 294 for the registry, 297 for the file and its records.
[[nodiscard]] uint32_t openModule(const std::string& identity, std::unique_ptr<LoadedModule>& module);

}  // namespace modbase
