// Reading the module registry (layout in smidb_format.h), as the library
// and the compiler both do: the registration values of the Modules key in
// their order, and what the key each one names holds.
#ifndef MODBASE_SMIDB_REGISTRY_H
#define MODBASE_SMIDB_REGISTRY_H

#include <optional>
#include <string>
#include <vector>

namespace smidb {

struct Registration {
  std::string valueName;  // "1", "2", ...
  std::string keyPath;    // the value's data: the module's key below HKEY_LOCAL_MACHINE
};

// The values of a module's key. A value that is missing, is not REG_SZ or
// is longer than its buffer (Database Path 4096 bytes, the others 2048) is
// absent.
struct ModuleKey {
  bool opens = false;
  std::optional<std::string> identity;
  std::optional<std::string> rootOid;
  std::optional<std::string> databasePath;
  std::optional<std::string> sourcePath;
};

struct RegisteredModule {
  Registration registration;
  ModuleKey key;
};

// Every REG_SZ registration value in order; values whose name or data do
// not fit their buffers (1024 characters, 2048 bytes) are passed over.
// Empty when there is no Modules key.
[[nodiscard]] std::vector<Registration> readRegistrations();

[[nodiscard]] ModuleKey readModuleKey(const std::string& keyPath);

// Every registration with its key.
[[nodiscard]] std::vector<RegisteredModule> readRegisteredModules();

}  // namespace smidb

#endif
