// The registry's contents in memory: a hive is a tree of keys, each with
// its values and subkeys in creation order. Names keep the case they were
// created with and are found without regard to case.
#pragma once

#include "platform/win32_types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

struct Value {
  std::string name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct Key {
  std::string name;
  std::vector<Value> values;
  std::vector<std::unique_ptr<Key>> subkeys;

  Key* findSubkey(std::string_view wanted) const;
  Value* findValue(std::string_view wanted);
  const Value* findValue(std::string_view wanted) const;
  // The subkey of that name, created (appended) when absent.
  Key& subkey(std::string_view wanted);
  // Removes the named subkey or value; false when absent.
  bool removeSubkey(std::string_view wanted);
  bool removeValue(std::string_view wanted);
  // A deep copy, for changing a shared snapshot.
  std::unique_ptr<Key> clone() const;
};

// ASCII case-insensitive equality, as key and value names compare.
bool namesEqual(std::string_view first, std::string_view second);

// The key at `path` below `root`, or null.
Key* findPath(const Key& root, const std::vector<std::string>& path);

}  // namespace platform::registry
