// Module registry upkeep. Each change is one change of the hive under its
// lock, so that another compiler registering at the same time never sees a
// half-renumbered key, and the hive is written once however many modules
// change.
#include "modforge/module_registry.h"

#include "platform/registry.h"
#include "smidb_format.h"
#include "smidb_registration.h"
#include "smidb_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace modforge {
namespace {

using smidb::kModulesKey;

// Removing a file failed for a reason that keeps the module registered.
bool keepsRegistration(int error) { return error == EACCES || error == EPERM || error == EBUSY || error == ETXTBSY; }

// Replaces every registration value by `kept`, numbered from 1.
LONG rewriteRegistrations(HKEY modules, const std::vector<smidb::Registration>& old, const std::vector<std::string>& kept) {
  for (const smidb::Registration& registration : old) RegDeleteValueA(modules, registration.valueName.c_str());
  LONG error = ERROR_SUCCESS;
  for (size_t i = 0; i < kept.size() && error == ERROR_SUCCESS; ++i) {
    std::string name = std::to_string(i + 1);
    error = RegSetValueExA(modules, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kept[i].c_str()),
                           static_cast<DWORD>(kept[i].size() + 1));
  }
  return error;
}

smidb::ModuleRegistration registrationOf(const KnownModule& module) {
  return {module.name, module.rootOid == "None" ? "" : module.rootOid, module.databasePath, module.sourcePath};
}

}  // namespace

std::vector<RegisteredModule> registeredModules() {
  std::vector<RegisteredModule> modules;
  for (const smidb::RegisteredModule& registered : smidb::readRegisteredModules()) {
    const smidb::ModuleKey& key = registered.key;
    modules.push_back({registered.registration.valueName, registered.registration.keyPath, key.identity.value_or(""),
                       key.rootOid.value_or(""), key.databasePath.value_or(""), key.sourcePath.value_or("")});
  }
  return modules;
}

bool registerSavedModule(const KnownModule& module, std::string& error) {
  return registerSavedModules({&module}, error);
}

bool registerSavedModules(const std::vector<const KnownModule*>& modules, std::string& error) {
  std::vector<smidb::ModuleRegistration> registrations;
  for (const KnownModule* module : modules) registrations.push_back(registrationOf(*module));
  std::vector<smidb::RegistrationOutcome> outcomes;
  LONG code = smidb::registerModules(registrations, true, outcomes);
  if (code == ERROR_SUCCESS) return true;
  error = "the module registry refused the change (error " + std::to_string(code) + ")";
  return false;
}

std::vector<std::string> removeAllModules() {
  std::vector<std::string> failures;
  platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
  platform::RegistryKey modules;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      modules.receive(), nullptr) != ERROR_SUCCESS) {
    return {"The module registry cannot be opened."};
  }
  std::vector<smidb::Registration> old = smidb::readRegistrations();
  std::vector<std::string> kept;
  for (const smidb::Registration& registration : old) {
    std::string path = smidb::readModuleKey(registration.keyPath).databasePath.value_or("");
    int error = !path.empty() && std::remove(path.c_str()) != 0 ? errno : 0;
    if (keepsRegistration(error)) {
      char message[4096];
      std::snprintf(message, sizeof message, "File '%s' could not be removed. %s", path.c_str(), std::strerror(error));
      failures.emplace_back(message);
      kept.push_back(registration.keyPath);
      continue;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, registration.keyPath.c_str());
  }
  LONG code = rewriteRegistrations(modules.get(), old, kept);
  if (code == ERROR_SUCCESS) code = change.commit();
  if (code != ERROR_SUCCESS) {
    failures.push_back("The module registry refused the change (error " + std::to_string(code) + ").");
  }
  return failures;
}

void addRegisteredModules(KnownModules& modules) {
  for (const RegisteredModule& registered : registeredModules()) {
    if (registered.identity.empty()) continue;
    KnownModule& known = modules.entry(registered.identity);
    if (known.sourcePath.empty()) known.sourcePath = registered.sourcePath;
    if (known.databasePath.empty()) known.databasePath = registered.databasePath;
    if (known.rootOid == "None" && !registered.rootOid.empty()) known.rootOid = registered.rootOid;
  }
}

}  // namespace modforge
