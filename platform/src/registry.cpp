// The registry calls. An open key is a hive and a path of names; every call
// finds the key again in the hive as it is now, so a key deleted by another
// process reads as ERROR_KEY_DELETED through handles still open on it.
#include "platform/registry.h"

#include "registry_store.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

using namespace platform::registry;

namespace {

constexpr size_t kLongestKeyName = 255;
constexpr size_t kLongestValueName = 16383;
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

struct OpenKey {
  int hive = -1;
  std::vector<std::string> path;
  REGSAM access = 0;
};

std::mutex openKeysLock;
std::unordered_set<OpenKey*> openKeys;

// A copy of what the handle names: the three hives with every right, or a
// key this process opened. False for anything else.
bool describe(HKEY key, OpenKey& description) {
  if (int hive = hiveIndex(key); hive >= 0) {
    description = OpenKey{hive, {}, KEY_ALL_ACCESS};
    return true;
  }
  std::lock_guard guard(openKeysLock);
  auto* open = reinterpret_cast<OpenKey*>(key);
  if (!openKeys.count(open)) return false;
  description = *open;
  return true;
}

HKEY registerKey(OpenKey&& description) {
  auto* open = new (std::nothrow) OpenKey(std::move(description));
  if (!open) return nullptr;
  std::lock_guard guard(openKeysLock);
  openKeys.insert(open);
  return reinterpret_cast<HKEY>(open);
}

// Splits "A\B\C" into its names, skipping empty ones. Names longer than the
// limit or holding control characters are refused.
bool splitPath(LPCSTR subKey, std::vector<std::string>& parts) {
  std::string_view rest = subKey ? subKey : "";
  while (!rest.empty()) {
    std::string_view part = rest.substr(0, rest.find('\\'));
    rest.remove_prefix(std::min(rest.size(), part.size() + 1));
    if (part.empty()) continue;
    if (part.size() > kLongestKeyName) return false;
    for (unsigned char c : part) {
      if (c < 0x20 || c == 0x7f) return false;
    }
    parts.emplace_back(part);
  }
  return true;
}

std::string_view valueName(LPCSTR name) { return name ? name : ""; }

// Reads the hive of `key` and finds the key it names.
LONG findOpenKey(const OpenKey& key, Snapshot& snapshot, const Key*& found) {
  if (LONG error = readHive(key.hive, snapshot); error != ERROR_SUCCESS) return error;
  found = findPath(*snapshot, key.path);
  return found ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Copies data out under the sizing rules of RegQueryValueEx.
LONG copyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD bytes) {
  if (type) *type = value.type;
  if (!bytes) return ERROR_SUCCESS;
  auto size = static_cast<DWORD>(value.data.size());
  if (data && *bytes < size) {
    *bytes = size;
    return ERROR_MORE_DATA;
  }
  if (data && size) std::memcpy(data, value.data.data(), size);
  *bytes = size;
  return ERROR_SUCCESS;
}

// Copies a name into a character buffer of `*chars` characters.
LONG copyName(const std::string& text, LPSTR name, LPDWORD chars) {
  if (text.size() + 1 > *chars) return ERROR_MORE_DATA;
  std::memcpy(name, text.c_str(), text.size() + 1);
  *chars = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

void clearClass(LPSTR keyClass, LPDWORD classChars) {
  if (keyClass && classChars && *classChars > 0) keyClass[0] = '\0';
  if (classChars) *classChars = 0;
}

// Creates every missing key of `path` below `base`; the caller checked
// that it may.
LONG createPath(Key& root, const OpenKey& base, const std::vector<std::string>& parts,
                bool& changed, DWORD& disposition) {
  Key* key = findPath(root, base.path);
  if (!key) return ERROR_KEY_DELETED;
  disposition = REG_OPENED_EXISTING_KEY;
  for (const std::string& part : parts) {
    if (!key->findSubkey(part)) {
      if (!(base.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
      disposition = REG_CREATED_NEW_KEY;
      changed = true;
    }
    key = &key->subkey(part);
  }
  return ERROR_SUCCESS;
}

// Runs a registry call, turning memory exhaustion into its return code.
template <class Body>
LONG guarded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  return guarded([&] {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    std::vector<std::string> parts;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!splitPath(subKey, parts)) return ERROR_INVALID_PARAMETER;
    Snapshot snapshot;
    const Key* found = nullptr;
    if (LONG error = findOpenKey(base, snapshot, found); error != ERROR_SUCCESS) return error;
    if (!findPath(*found, parts)) return ERROR_FILE_NOT_FOUND;
    base.path.insert(base.path.end(), parts.begin(), parts.end());
    base.access = access;
    *result = registerKey(std::move(base));
    return *result ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
  });
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, LPVOID,
                     PHKEY result, LPDWORD disposition) {
  return guarded([&] {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    std::vector<std::string> parts;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!splitPath(subKey, parts)) return ERROR_INVALID_PARAMETER;
    DWORD outcome = REG_OPENED_EXISTING_KEY;
    Snapshot snapshot;
    const Key* found = nullptr;
    LONG error = findOpenKey(base, snapshot, found);
    if (error == ERROR_SUCCESS && !findPath(*found, parts)) {
      error = changeHive(base.hive, [&](Key& root, bool& changed) {
        return createPath(root, base, parts, changed, outcome);
      });
    }
    if (error != ERROR_SUCCESS) return error;
    if (disposition) *disposition = outcome;
    base.path.insert(base.path.end(), parts.begin(), parts.end());
    base.access = access;
    *result = registerKey(std::move(base));
    return *result ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
  });
}

LONG RegCloseKey(HKEY key) {
  if (hiveIndex(key) >= 0) return ERROR_SUCCESS;
  auto* open = reinterpret_cast<OpenKey*>(key);
  {
    std::lock_guard guard(openKeysLock);
    if (!openKeys.erase(open)) return ERROR_INVALID_HANDLE;
  }
  delete open;
  return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  return guarded([&] {
    OpenKey base;
    std::vector<std::string> parts;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!splitPath(subKey, parts) || parts.empty()) return ERROR_INVALID_PARAMETER;
    if (!(base.access & kWriteRights)) return ERROR_ACCESS_DENIED;
    return changeHive(base.hive, [&](Key& root, bool& changed) {
      Key* key = findPath(root, base.path);
      if (!key) return ERROR_KEY_DELETED;
      std::string last = parts.back();
      parts.pop_back();
      Key* parent = findPath(*key, parts);
      Key* target = parent ? parent->findSubkey(last) : nullptr;
      if (!target) return ERROR_FILE_NOT_FOUND;
      if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
      changed = parent->removeSubkey(last);
      return ERROR_SUCCESS;
    });
  });
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD bytes) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if ((!data && bytes) || valueName(name).size() > kLongestValueName) return ERROR_INVALID_PARAMETER;
    if (!(base.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::vector<BYTE> contents(data, data + bytes);
    return changeHive(base.hive, [&](Key& root, bool& changed) {
      Key* target = findPath(root, base.path);
      if (!target) return ERROR_KEY_DELETED;
      Value* value = target->findValue(valueName(name));
      if (!value) {
        target->values.push_back(Value{std::string(valueName(name)), type, contents});
      } else if (value->type != type || value->data != contents) {
        value->type = type;
        value->data = contents;
      } else {
        return ERROR_SUCCESS;
      }
      changed = true;
      return ERROR_SUCCESS;
    });
  });
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD bytes) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (data && !bytes) return ERROR_INVALID_PARAMETER;
    if (!(base.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Snapshot snapshot;
    const Key* found = nullptr;
    if (LONG error = findOpenKey(base, snapshot, found); error != ERROR_SUCCESS) return error;
    const Value* value = found->findValue(valueName(name));
    return value ? copyData(*value, type, data, bytes) : ERROR_FILE_NOT_FOUND;
  });
}

LONG RegDeleteValueA(HKEY key, LPCSTR name) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!(base.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return changeHive(base.hive, [&](Key& root, bool& changed) {
      Key* target = findPath(root, base.path);
      if (!target) return ERROR_KEY_DELETED;
      changed = target->removeValue(valueName(name));
      return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  });
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD bytes) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!name || !nameChars || (data && !bytes)) return ERROR_INVALID_PARAMETER;
    if (!(base.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Snapshot snapshot;
    const Key* found = nullptr;
    if (LONG error = findOpenKey(base, snapshot, found); error != ERROR_SUCCESS) return error;
    if (index >= found->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& value = found->values[index];
    LONG named = copyName(value.name, name, nameChars);
    LONG copied = copyData(value, type, data, bytes);
    return named != ERROR_SUCCESS ? named : copied;
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD, LPSTR keyClass,
                   LPDWORD classChars, LPVOID) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!name || !nameChars) return ERROR_INVALID_PARAMETER;
    if (!(base.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    Snapshot snapshot;
    const Key* found = nullptr;
    if (LONG error = findOpenKey(base, snapshot, found); error != ERROR_SUCCESS) return error;
    if (index >= found->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    clearClass(keyClass, classChars);
    return copyName(found->subkeys[index]->name, name, nameChars);
  });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classChars, LPDWORD, LPDWORD subKeys,
                      LPDWORD longestSubKey, LPDWORD longestClass, LPDWORD values,
                      LPDWORD longestValueName, LPDWORD longestValueData,
                      LPDWORD securityDescriptorBytes, LPVOID) {
  return guarded([&] {
    OpenKey base;
    if (!describe(key, base)) return ERROR_INVALID_HANDLE;
    if (!(base.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Snapshot snapshot;
    const Key* found = nullptr;
    if (LONG error = findOpenKey(base, snapshot, found); error != ERROR_SUCCESS) return error;
    DWORD subkeyName = 0, name = 0, data = 0;
    for (const auto& child : found->subkeys) subkeyName = std::max(subkeyName, DWORD(child->name.size()));
    for (const Value& value : found->values) {
      name = std::max(name, DWORD(value.name.size()));
      data = std::max(data, DWORD(value.data.size()));
    }
    clearClass(keyClass, classChars);
    for (auto [out, number] : {std::pair{subKeys, DWORD(found->subkeys.size())},
                               {longestSubKey, subkeyName}, {longestClass, 0u},
                               {values, DWORD(found->values.size())}, {longestValueName, name},
                               {longestValueData, data}, {securityDescriptorBytes, 0u}}) {
      if (out) *out = number;
    }
    return ERROR_SUCCESS;
  });
}
