// Reading the module registry (layout in smidb_format.h). modbase only
// reads it; the compiler writes it.
#pragma once

#include <string>
#include <vector>

namespace modbase {

// What a module's registry key says, once checked complete.
struct ModuleEntry {
  std::string registrationPath;  // the registration value's data
  std::string identity;
  std::string rootOid;
  std::string databasePath;  // names an existing file
};

// The first registration whose "Module Identity" equals `identity` (exact
// bytes). False when none does, or when that one is incomplete or names a
// missing file.
[[nodiscard]] bool findRegisteredModule(const std::string& identity, ModuleEntry& entry);

// Every complete registration, in registration-value order.
std::vector<ModuleEntry> listRegisteredModules();

}  // namespace modbase
