// Module registration in the registry. Every step runs inside one change
// of the hive: however many values it sets and deletes, the hive file is
// written once, and a step that fails leaves it as it was.
#include "smidb_registration.h"

#include "smidb_format.h"
#include "smidb_registry.h"

#include "platform/registry.h"

#include <filesystem>
#include <string_view>

namespace smidb {
namespace {

constexpr DWORD kLongestValueName = 1024;

LONG setText(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

bool namesModule(std::string_view registration, std::string_view moduleName) {
  size_t slash = registration.rfind('\\');
  return registration.substr(slash == std::string_view::npos ? 0 : slash + 1) == moduleName;
}

bool isRegistered(const std::vector<Registration>& registrations, const std::string& moduleName) {
  for (const Registration& registration : registrations) {
    if (namesModule(registration.keyPath, moduleName)) return true;
  }
  return false;
}

// The key's value count plus one, or the next free number after it when a
// value of that name exists (numbers with gaps would otherwise overwrite a
// registration). One of the count + 1 numbers tried is always free.
std::string nextRegistrationName(HKEY modules) {
  DWORD values = 0;
  RegQueryInfoKeyA(modules, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  std::string name;
  for (DWORD number = values + 1; number <= 2 * values + 1; ++number) {
    name = std::to_string(number);
    if (RegQueryValueExA(modules, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
        ERROR_FILE_NOT_FOUND) {
      break;
    }
  }
  return name;
}

LONG writeModuleKey(HKEY modules, const ModuleRegistration& module) {
  platform::RegistryKey subkey;
  LONG error = RegCreateKeyExA(modules, module.moduleName.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, subkey.receive(), nullptr);
  const std::pair<const char*, const std::string*> values[] = {
      {kModuleIdentityValue, &module.moduleName},
      {kRootOidValue, &module.rootOid},
      {kSourcePathValue, &module.sourcePath},
      {kDatabasePathValue, &module.databasePath},
  };
  for (const auto& [name, text] : values) {
    if (error == ERROR_SUCCESS && !text->empty()) error = setText(subkey.get(), name, *text);
  }
  return error;
}

// Whether a registration stays: its key opens and names an existing
// database file. A key without one is deleted.
bool keepRegistration(const Registration& registration) {
  ModuleKey key = readModuleKey(registration.keyPath);
  if (!key.opens) return false;
  std::error_code error;
  if (key.databasePath && !key.databasePath->empty() && std::filesystem::exists(*key.databasePath, error)) return true;
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, registration.keyPath.c_str());
  return false;
}

LONG deleteAllValues(HKEY modules) {
  for (int guard = 0; guard < 100000; ++guard) {
    char name[kLongestValueName];
    DWORD chars = sizeof name;
    LONG result = RegEnumValueA(modules, 0, name, &chars, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    if (LONG error = RegDeleteValueA(modules, name); error != ERROR_SUCCESS) return error;
  }
  return ERROR_SUCCESS;
}

LONG compact() {
  platform::RegistryKey modules;
  LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, KEY_ALL_ACCESS, modules.receive());
  if (error == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (error != ERROR_SUCCESS) return error;
  std::vector<std::string> kept;
  for (const Registration& registration : readRegistrations()) {
    if (keepRegistration(registration)) kept.push_back(registration.keyPath);
  }
  error = deleteAllValues(modules.get());
  for (size_t index = 0; index < kept.size() && error == ERROR_SUCCESS; ++index) {
    error = setText(modules.get(), std::to_string(index + 1).c_str(), kept[index]);
  }
  return error;
}

RegistrationOutcome registerOne(const ModuleRegistration& module, LONG& error) {
  platform::RegistryKey modules;
  error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, modules.receive(), nullptr);
  if (error != ERROR_SUCCESS) return RegistrationOutcome::failed;
  if (isRegistered(readRegistrations(), module.moduleName)) return RegistrationOutcome::alreadyRegistered;
  error = writeModuleKey(modules.get(), module);
  if (error == ERROR_SUCCESS) {
    error = setText(modules.get(), nextRegistrationName(modules.get()).c_str(),
                    std::string(kModulesKey) + "\\" + module.moduleName);
  }
  return error == ERROR_SUCCESS ? RegistrationOutcome::registered : RegistrationOutcome::failed;
}

// The code of the change: the first failure, else that of its commit.
LONG changeFailedWith(LONG error, platform::RegistryHiveChange& change) {
  if (change.status() != ERROR_SUCCESS) return change.status();
  return error != ERROR_SUCCESS ? error : change.commit();
}

}  // namespace

LONG compactModuleRegistry() {
  platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
  return changeFailedWith(compact(), change);
}

RegistrationOutcome registerModule(const ModuleRegistration& module, LONG& error) {
  std::vector<RegistrationOutcome> outcomes;
  error = registerModules({module}, false, outcomes);
  return error == ERROR_SUCCESS ? outcomes.front() : RegistrationOutcome::failed;
}

LONG registerModules(const std::vector<ModuleRegistration>& modules, bool compactFirst,
                     std::vector<RegistrationOutcome>& outcomes) {
  outcomes.assign(modules.size(), RegistrationOutcome::failed);
  platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
  LONG error = change.status();
  if (error == ERROR_SUCCESS && compactFirst) error = compact();
  for (size_t index = 0; index < modules.size() && error == ERROR_SUCCESS; ++index) {
    outcomes[index] = registerOne(modules[index], error);
  }
  error = changeFailedWith(error, change);
  if (error != ERROR_SUCCESS) outcomes.assign(modules.size(), RegistrationOutcome::failed);
  return error;
}

}  // namespace smidb
