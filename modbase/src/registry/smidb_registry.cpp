// Module registry reads. Values are read with fixed buffers; a value too
// long for its buffer counts as missing.
#include "smidb_registry.h"

#include "smidb_format.h"

#include "platform/registry.h"

#include <algorithm>

namespace smidb {
namespace {

constexpr DWORD kValueNameChars = 1024;
constexpr DWORD kRegistrationBytes = 2048;
constexpr DWORD kTextBytes = 2048;
// POSIX paths are longer than the Windows limit the format was made for.
constexpr DWORD kDatabasePathBytes = 4096;

// The text stored in `size` bytes, up to its first zero.
std::string textOf(const char* data, DWORD size) {
  return std::string(data, static_cast<size_t>(std::find(data, data + size, '\0') - data));
}

std::optional<std::string> readText(HKEY key, const char* name, DWORD limit) {
  std::string buffer(limit, '\0');
  DWORD type = 0, size = limit;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return textOf(buffer.data(), size);
}

}  // namespace

std::vector<Registration> readRegistrations() {
  std::vector<Registration> found;
  platform::RegistryKey modules;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, KEY_READ, modules.receive()) != ERROR_SUCCESS) return found;
  std::string data(kRegistrationBytes, '\0');
  // Ends at the first index the registry refuses: past the end, or a hive
  // damaged since the key was opened.
  for (DWORD index = 0;; ++index) {
    char name[kValueNameChars];
    DWORD chars = kValueNameChars, size = kRegistrationBytes, type = 0;
    LONG result = RegEnumValueA(modules.get(), index, name, &chars, nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return found;
    if (type == REG_SZ) found.push_back({name, textOf(data.data(), size)});
  }
}

ModuleKey readModuleKey(const std::string& keyPath) {
  ModuleKey module;
  platform::RegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return module;
  module.opens = true;
  module.identity = readText(key.get(), kModuleIdentityValue, kTextBytes);
  module.rootOid = readText(key.get(), kRootOidValue, kTextBytes);
  module.databasePath = readText(key.get(), kDatabasePathValue, kDatabasePathBytes);
  module.sourcePath = readText(key.get(), kSourcePathValue, kTextBytes);
  return module;
}

std::vector<RegisteredModule> readRegisteredModules() {
  std::vector<RegisteredModule> modules;
  for (Registration& registration : readRegistrations()) {
    ModuleKey key = readModuleKey(registration.keyPath);
    modules.push_back({std::move(registration), std::move(key)});
  }
  return modules;
}

}  // namespace smidb
