// Module registry lookups. Values are read with fixed buffers; a value too
// long for its buffer counts as missing.
#include "module_registry.h"

#include "smidb_format.h"

#include "platform/registry.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace modbase {
namespace {

constexpr DWORD kValueNameChars = 1024;
constexpr DWORD kRegistrationBytes = 2048;
constexpr DWORD kIdentityBytes = 2048;
constexpr DWORD kRootOidBytes = 2048;
// POSIX paths are longer than the Windows limit the format was made for.
constexpr DWORD kDatabasePathBytes = 4096;

class OpenedKey {
 public:
  ~OpenedKey() {
    if (key) RegCloseKey(key);
  }
  HKEY key = nullptr;
};

// The length of text stored in `size` bytes, up to its first zero.
size_t textLength(const char* data, DWORD size) {
  return static_cast<size_t>(std::find(data, data + size, '\0') - data);
}

// A REG_SZ value of at most `limit` bytes, up to its first zero.
bool readText(HKEY key, const char* name, DWORD limit, std::string& text) {
  std::string buffer(limit, '\0');
  DWORD type = 0, size = limit;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  text.assign(buffer.data(), textLength(buffer.data(), size));
  return true;
}

// Calls `visit` with the data of each REG_SZ registration value in order,
// until it returns false.
void forEachRegistration(const std::function<bool(const std::string&)>& visit) {
  OpenedKey modules;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, smidb::kModulesKey, 0, KEY_READ, &modules.key) != ERROR_SUCCESS) {
    return;
  }
  DWORD values = 0;
  RegQueryInfoKeyA(modules.key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                   nullptr, nullptr, nullptr, nullptr);
  for (DWORD index = 0; index < values; ++index) {
    char name[kValueNameChars];
    std::string data(kRegistrationBytes, '\0');
    DWORD chars = kValueNameChars - 1, size = kRegistrationBytes - 1, type = 0;
    if (RegEnumValueA(modules.key, index, name, &chars, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      continue;
    }
    data.resize(textLength(data.data(), size));
    if (!visit(data)) return;
  }
}

// A database can only be a regular file; opening a FIFO would block.
bool isExistingFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Reads the three values a load needs from the key `registration` names.
bool readEntry(const std::string& registration, ModuleEntry& entry) {
  OpenedKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, registration.c_str(), 0, KEY_READ, &key.key) != ERROR_SUCCESS) {
    return false;
  }
  entry.registrationPath = registration;
  return readText(key.key, smidb::kDatabasePathValue, kDatabasePathBytes, entry.databasePath) &&
         isExistingFile(entry.databasePath) &&
         readText(key.key, smidb::kModuleIdentityValue, kIdentityBytes, entry.identity) &&
         readText(key.key, smidb::kRootOidValue, kRootOidBytes, entry.rootOid);
}

bool hasIdentity(const std::string& registration, const std::string& identity) {
  OpenedKey key;
  std::string found;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, registration.c_str(), 0, KEY_READ, &key.key) ==
             ERROR_SUCCESS &&
         readText(key.key, smidb::kModuleIdentityValue, kIdentityBytes, found) && found == identity;
}

}  // namespace

bool findRegisteredModule(const std::string& identity, ModuleEntry& entry) {
  bool found = false;
  forEachRegistration([&](const std::string& registration) {
    if (!hasIdentity(registration, identity)) return true;
    found = readEntry(registration, entry);
    return false;
  });
  return found;
}

std::vector<ModuleEntry> listRegisteredModules() {
  std::vector<ModuleEntry> entries;
  forEachRegistration([&](const std::string& registration) {
    ModuleEntry entry;
    if (readEntry(registration, entry)) entries.push_back(std::move(entry));
    return true;
  });
  return entries;
}

}  // namespace modbase
