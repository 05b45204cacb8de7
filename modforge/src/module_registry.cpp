// Module registry upkeep. Each change holds the hive lock, so that another
// compiler registering at the same time never sees a half-renumbered key.
#include "modforge/module_registry.h"

#include "platform/registry.h"
#include "smidb_format.h"
#include "smidb_registration.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace modforge {
namespace {

using smidb::kModulesKey;
constexpr DWORD kValueNameBuffer = 1024;
constexpr DWORD kValueDataBuffer = 2048;

class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (handle) RegCloseKey(handle);
  }
  HKEY handle = nullptr;
};

struct Registration {
  std::string valueName;
  std::string keyPath;
};

bool openModulesKey(OpenKey& key) {
  return RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, &key.handle, nullptr) == ERROR_SUCCESS;
}

// The REG_SZ registration values of the Modules key, in order.
std::vector<Registration> registrations(HKEY modules) {
  std::vector<Registration> found;
  for (DWORD index = 0;; ++index) {
    char name[kValueNameBuffer];
    char data[kValueDataBuffer];
    DWORD nameChars = sizeof name, bytes = sizeof data, type = 0;
    LONG result = RegEnumValueA(modules, index, name, &nameChars, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return found;
    if (type == REG_SZ) found.push_back({name, std::string(data, strnlen(data, bytes))});
  }
}

std::string textValue(HKEY key, const char* name) {
  char data[kValueDataBuffer];
  DWORD bytes = sizeof data, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return std::string(data, strnlen(data, bytes));
}

// Replaces every registration value by `kept`, numbered from 1.
bool rewriteRegistrations(HKEY modules, const std::vector<Registration>& old, const std::vector<std::string>& kept) {
  bool written = true;
  for (const Registration& registration : old) RegDeleteValueA(modules, registration.valueName.c_str());
  for (size_t i = 0; i < kept.size(); ++i) {
    std::string name = std::to_string(i + 1);
    written &= RegSetValueExA(modules, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kept[i].c_str()),
                              static_cast<DWORD>(kept[i].size() + 1)) == ERROR_SUCCESS;
  }
  return written;
}

// Removing a file failed for a reason that keeps the module registered.
bool keepsRegistration(int error) { return error == EACCES || error == EPERM || error == EBUSY || error == ETXTBSY; }

}  // namespace

std::vector<RegisteredModule> registeredModules() {
  std::vector<RegisteredModule> modules;
  OpenKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, KEY_READ, &key.handle) != ERROR_SUCCESS) return modules;
  for (const Registration& registration : registrations(key.handle)) {
    RegisteredModule module;
    module.valueName = registration.valueName;
    module.keyPath = registration.keyPath;
    OpenKey subkey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, registration.keyPath.c_str(), 0, KEY_READ, &subkey.handle) == ERROR_SUCCESS) {
      module.identity = textValue(subkey.handle, smidb::kModuleIdentityValue);
      module.rootOid = textValue(subkey.handle, smidb::kRootOidValue);
      module.databasePath = textValue(subkey.handle, smidb::kDatabasePathValue);
      module.sourcePath = textValue(subkey.handle, smidb::kSourcePathValue);
    }
    modules.push_back(std::move(module));
  }
  return modules;
}

bool registerSavedModule(const KnownModule& module, std::string& error) {
  if (LONG code = smidb::compactModuleRegistry(); code != ERROR_SUCCESS) {
    error = "the module registry cannot be tidied (error " + std::to_string(code) + ")";
    return false;
  }
  smidb::ModuleRegistration registration{module.name, module.rootOid == "None" ? "" : module.rootOid,
                                         module.databasePath, module.sourcePath};
  LONG code = 0;
  if (smidb::registerModule(registration, code) != smidb::RegistrationOutcome::failed) return true;
  error = "the module registry refused the change (error " + std::to_string(code) + ")";
  return false;
}

std::vector<std::string> removeAllModules() {
  std::vector<std::string> failures;
  platform::RegistryHiveLock lock(HKEY_LOCAL_MACHINE);
  OpenKey modules;
  if (!openModulesKey(modules)) return {"The module registry cannot be opened."};
  std::vector<Registration> old = registrations(modules.handle);
  std::vector<std::string> kept;
  for (const Registration& registration : old) {
    std::string path;
    {
      OpenKey subkey;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, registration.keyPath.c_str(), 0, KEY_READ, &subkey.handle) == ERROR_SUCCESS) {
        path = textValue(subkey.handle, smidb::kDatabasePathValue);
      }
    }
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
  rewriteRegistrations(modules.handle, old, kept);
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
