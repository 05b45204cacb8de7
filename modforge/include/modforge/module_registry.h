// The compiler's side of the module registry under HKEY_LOCAL_MACHINE:
// registration after a save, the list of registered modules and removing
// them all with their files. Compaction is smidb::compactModuleRegistry.
#pragma once

#include "modforge/known_modules.h"

#include <string>
#include <vector>

namespace modforge {

struct RegisteredModule {
  std::string valueName;
  std::string keyPath;
  std::string identity;
  std::string rootOid;
  std::string databasePath;
  std::string sourcePath;
};

// The registered modules in registration order.
[[nodiscard]] std::vector<RegisteredModule> registeredModules();

// Compacts the registry, then registers the module unless it is registered
// already. False with the registry's reason in `error`.
[[nodiscard]] bool registerSavedModule(const KnownModule& module, std::string& error);
// The same for the modules of a run, as one change of the registry: all
// are registered, or (false) none.
[[nodiscard]] bool registerSavedModules(const std::vector<const KnownModule*>& modules, std::string& error);

// Deletes every registered SMIDB file and its registration. A file that
// cannot be deleted because access is denied or it is in use keeps its
// registration; each such file gives one message "File '%s' could not be
// removed. %s" in the result.
[[nodiscard]] std::vector<std::string> removeAllModules();

// Adds the registered modules to the known-module list, so that imports
// find their sources.
void addRegisteredModules(KnownModules& modules);

}  // namespace modforge
