// Module registration in the registry.
#include "smidb_registration.h"

#include "smidb_format.h"

#include "platform/registry.h"

#include <algorithm>
#include <filesystem>
#include <vector>
#include <string_view>

namespace smidb {
namespace {

constexpr DWORD kLongestValueName = 1024;
constexpr DWORD kLongestRegistration = 2048;

// Closes a key when the scope ends.
class OpenedKey {
 public:
  OpenedKey() = default;
  ~OpenedKey() {
    if (key) RegCloseKey(key);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  HKEY key = nullptr;
};

LONG setText(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

bool namesModule(std::string_view registration, std::string_view moduleName) {
  size_t slash = registration.rfind('\\');
  return registration.substr(slash == std::string_view::npos ? 0 : slash + 1) == moduleName;
}

// Whether a registration value names the module already.
bool isRegistered(HKEY modules, const std::string& moduleName) {
  // Ends at the first index the registry refuses (past the end, or a
  // damaged hive, which the write afterwards reports).
  for (DWORD index = 0;; ++index) {
    char name[kLongestValueName];
    char data[kLongestRegistration];
    DWORD chars = sizeof name, bytes = sizeof data, type = 0;
    LONG result = RegEnumValueA(modules, index, name, &chars, nullptr, &type,
                                reinterpret_cast<BYTE*>(data), &bytes);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return false;
    if (type != REG_SZ) continue;
    const char* end = std::find(data, data + bytes, '\0');
    if (namesModule(std::string_view(data, static_cast<size_t>(end - data)), moduleName)) return true;
  }
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
  OpenedKey subkey;
  LONG error = RegCreateKeyExA(modules, module.moduleName.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &subkey.key, nullptr);
  const std::pair<const char*, const std::string*> values[] = {
      {kModuleIdentityValue, &module.moduleName},
      {kRootOidValue, &module.rootOid},
      {kSourcePathValue, &module.sourcePath},
      {kDatabasePathValue, &module.databasePath},
  };
  for (const auto& [name, text] : values) {
    if (error == ERROR_SUCCESS && !text->empty()) error = setText(subkey.key, name, *text);
  }
  return error;
}

std::string readText(HKEY key, const char* name, DWORD limit) {
  std::string text(limit, '\0');
  DWORD size = limit, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  text.resize(static_cast<size_t>(std::find(text.data(), text.data() + size, '\0') - text.data()));
  return text;
}

// Whether a registration stays: its key opens and names an existing
// database file. A key without one is deleted.
bool keepRegistration(const std::string& registration) {
  OpenedKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, registration.c_str(), 0, KEY_READ, &key.key) != ERROR_SUCCESS) {
    return false;
  }
  std::string path = readText(key.key, kDatabasePathValue, 4096);
  std::error_code error;
  if (!path.empty() && std::filesystem::exists(path, error)) return true;
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, registration.c_str());
  return false;
}

// The data of every REG_SZ value, in order.
std::vector<std::string> registrations(HKEY modules) {
  DWORD values = 0;
  RegQueryInfoKeyA(modules, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  std::vector<std::string> found;
  for (DWORD index = 0; index < values; ++index) {
    char name[kLongestValueName];
    char data[kLongestRegistration];
    DWORD chars = sizeof name, bytes = sizeof data, type = 0;
    if (RegEnumValueA(modules, index, name, &chars, nullptr, &type, reinterpret_cast<BYTE*>(data),
                      &bytes) == ERROR_SUCCESS &&
        type == REG_SZ) {
      found.emplace_back(data, static_cast<size_t>(std::find(data, data + bytes, '\0') - data));
    }
  }
  return found;
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

}  // namespace

LONG compactModuleRegistry() {
  platform::RegistryHiveLock lock(HKEY_LOCAL_MACHINE);
  OpenedKey modules;
  LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, KEY_ALL_ACCESS, &modules.key);
  if (error == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (error != ERROR_SUCCESS) return error;
  std::vector<std::string> kept;
  for (const std::string& registration : registrations(modules.key)) {
    if (keepRegistration(registration)) kept.push_back(registration);
  }
  error = deleteAllValues(modules.key);
  for (size_t index = 0; index < kept.size() && error == ERROR_SUCCESS; ++index) {
    error = setText(modules.key, std::to_string(index + 1).c_str(), kept[index]);
  }
  return error;
}

RegistrationOutcome registerModule(const ModuleRegistration& module, LONG& error) {
  platform::RegistryHiveLock lock(HKEY_LOCAL_MACHINE);
  OpenedKey modules;
  error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &modules.key, nullptr);
  if (error != ERROR_SUCCESS) return RegistrationOutcome::failed;
  if (isRegistered(modules.key, module.moduleName)) return RegistrationOutcome::alreadyRegistered;
  error = writeModuleKey(modules.key, module);
  if (error == ERROR_SUCCESS) {
    error = setText(modules.key, nextRegistrationName(modules.key).c_str(),
                    std::string(kModulesKey) + "\\" + module.moduleName);
  }
  return error == ERROR_SUCCESS ? RegistrationOutcome::registered : RegistrationOutcome::failed;
}

}  // namespace smidb
