// Module registry lookups, through the reads the compiler shares.
#include "module_registry.h"

#include "smidb_registry.h"

#include <filesystem>

namespace modbase {
namespace {

// A database can only be a regular file; opening a FIFO would block.
bool isExistingFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The entry of a key that holds the three values a load needs and names
// an existing file.
bool completeEntry(const smidb::Registration& registration, const smidb::ModuleKey& key, ModuleEntry& entry) {
  if (!key.databasePath || !isExistingFile(*key.databasePath) || !key.identity || !key.rootOid) return false;
  entry.registrationPath = registration.keyPath;
  entry.identity = *key.identity;
  entry.rootOid = *key.rootOid;
  entry.databasePath = *key.databasePath;
  return true;
}

}  // namespace

bool findRegisteredModule(const std::string& identity, ModuleEntry& entry) {
  for (const smidb::Registration& registration : smidb::readRegistrations()) {
    smidb::ModuleKey key = smidb::readModuleKey(registration.keyPath);
    if (key.identity == identity) return completeEntry(registration, key, entry);
  }
  return false;
}

std::vector<ModuleEntry> listRegisteredModules() {
  std::vector<ModuleEntry> entries;
  for (const smidb::RegisteredModule& module : smidb::readRegisteredModules()) {
    ModuleEntry entry;
    if (completeEntry(module.registration, module.key, entry)) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace modbase
