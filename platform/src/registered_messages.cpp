// Registered window messages: the number is made from the name, so every
// process of the suite that registers a name gets the same number without
// talking to the others. A clash inside one process moves the later name
// to the next free number.
#include "platform/messages.h"

#include <cctype>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr UINT kRegisteredCount = 0x4000;

struct RegisteredNames {
  std::mutex lock;
  std::unordered_map<std::string, UINT> byName;
  std::unordered_map<UINT, std::string> byNumber;
};

RegisteredNames& registeredNames() {
  static RegisteredNames* instance = new RegisteredNames;
  return *instance;
}

// FNV-1a of the upper-case name.
uint32_t hashOf(const std::string& name) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return hash;
}

}  // namespace

UINT RegisterWindowMessageA(LPCSTR name) {
  if (!name || !*name) return 0;
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  RegisteredNames& names = registeredNames();
  std::lock_guard guard(names.lock);
  if (auto found = names.byName.find(key); found != names.byName.end()) return found->second;
  uint32_t start = hashOf(key) % kRegisteredCount;
  for (uint32_t step = 0; step < kRegisteredCount; ++step) {
    UINT number = kFirstRegistered + (start + step) % kRegisteredCount;
    if (names.byNumber.count(number)) continue;
    try {
      names.byNumber.emplace(number, key);
      names.byName.emplace(key, number);
    } catch (...) {
      names.byNumber.erase(number);
      return 0;
    }
    return number;
  }
  return 0;
}
