// Keys and values in memory.
#include "registry_hive.h"

#include <algorithm>

namespace platform::registry {

bool namesEqual(std::string_view first, std::string_view second) {
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return first.size() == second.size() &&
         std::equal(first.begin(), first.end(), second.begin(),
                    [&](char a, char b) { return fold(a) == fold(b); });
}

Key* Key::findSubkey(std::string_view wanted) const {
  for (const auto& child : subkeys) {
    if (namesEqual(child->name, wanted)) return child.get();
  }
  return nullptr;
}

Value* Key::findValue(std::string_view wanted) {
  for (Value& value : values) {
    if (namesEqual(value.name, wanted)) return &value;
  }
  return nullptr;
}

const Value* Key::findValue(std::string_view wanted) const {
  return const_cast<Key*>(this)->findValue(wanted);
}

Key& Key::subkey(std::string_view wanted) {
  if (Key* existing = findSubkey(wanted)) return *existing;
  subkeys.push_back(std::make_unique<Key>());
  subkeys.back()->name = std::string(wanted);
  return *subkeys.back();
}

bool Key::removeSubkey(std::string_view wanted) {
  auto found = std::find_if(subkeys.begin(), subkeys.end(),
                            [&](const auto& child) { return namesEqual(child->name, wanted); });
  if (found == subkeys.end()) return false;
  subkeys.erase(found);
  return true;
}

bool Key::removeValue(std::string_view wanted) {
  auto found = std::find_if(values.begin(), values.end(),
                            [&](const Value& value) { return namesEqual(value.name, wanted); });
  if (found == values.end()) return false;
  values.erase(found);
  return true;
}

std::unique_ptr<Key> Key::clone() const {
  auto copy = std::make_unique<Key>();
  copy->name = name;
  copy->values = values;
  copy->subkeys.reserve(subkeys.size());
  for (const auto& child : subkeys) copy->subkeys.push_back(child->clone());
  return copy;
}

Key* findPath(const Key& root, const std::vector<std::string>& path) {
  const Key* key = &root;
  for (const std::string& part : path) {
    key = key->findSubkey(part);
    if (!key) return nullptr;
  }
  return const_cast<Key*>(key);
}

}  // namespace platform::registry
