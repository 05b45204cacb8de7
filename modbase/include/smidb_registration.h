// Announcing a saved SMIDB file in the module registry (layout in
// smidb_format.h), as the compiler does after each save.
#ifndef MODBASE_SMIDB_REGISTRATION_H
#define MODBASE_SMIDB_REGISTRATION_H

#include "platform/win32_types.h"

#include <string>
#include <vector>

namespace smidb {

struct ModuleRegistration {
  std::string moduleName;
  std::string rootOid;       // dotted decimal
  std::string databasePath;  // full path of the SMIDB file
  std::string sourcePath;    // full path of the MIB source
};

enum class RegistrationOutcome { registered, alreadyRegistered, failed };

// Registers the module unless a registration value already names it (its
// data after the last backslash equals the module name): creates the
// module's subkey with its non-empty values, then the registration value
// numbered after the existing ones (the next free number). The whole step
// is one change of the registry under the hive lock, so concurrent
// registrations never share a number, and a failure (its code in `error`)
// leaves the registry as it was.
RegistrationOutcome registerModule(const ModuleRegistration& module, LONG& error);

// Registers several modules as registerModule does each, after tidying the
// registry first when `compactFirst` is set, all in one change of the
// registry: the hive is written once, or not at all when a step fails.
// Returns ERROR_SUCCESS or the registry's code of the failure; `outcomes`
// gets one outcome per module (all failed on failure).
LONG registerModules(const std::vector<ModuleRegistration>& modules, bool compactFirst,
                     std::vector<RegistrationOutcome>& outcomes);

// Tidies the registry before registrations: drops each registration value
// whose key cannot be opened, deletes the key of each whose "Database Path"
// is missing, empty or names no file (and drops its value), and numbers the
// remaining values again from 1 in their order, as one change of the
// registry. Returns the registry's code of the first failure, ERROR_SUCCESS
// otherwise (also when there is no Modules key yet).
LONG compactModuleRegistry();

}  // namespace smidb

#endif
