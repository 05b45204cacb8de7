#include "preferences.h"

#include "platform/registry.h"

#include <cstring>

namespace modforge {
namespace {

constexpr DWORD kTextBuffer = 4096;

class ProfileSection {
 public:
  ProfileSection(const char* section, bool create) {
    std::string path = std::string(kProfileKey) + "\\" + section;
    LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
  }
  ~ProfileSection() {
    if (key_) RegCloseKey(key_);
  }
  ProfileSection(const ProfileSection&) = delete;
  ProfileSection& operator=(const ProfileSection&) = delete;

  template <class T>
  void read(const char* name, T& value) const {
    DWORD number = 0, type = 0, bytes = sizeof number;
    if (key_ && RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &bytes) == ERROR_SUCCESS &&
        type == REG_DWORD && bytes == sizeof number) {
      value = static_cast<T>(number);
    }
  }
  void read(const char* name, std::string& value) const {
    char text[kTextBuffer];
    DWORD type = 0, bytes = sizeof text;
    if (key_ && RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) == ERROR_SUCCESS &&
        type == REG_SZ) {
      value.assign(text, strnlen(text, bytes));
    }
  }
  std::optional<std::vector<uint8_t>> binary(const char* name) const {
    DWORD type = 0, bytes = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_BINARY)
      return std::nullopt;
    std::vector<uint8_t> data(bytes);
    if (RegQueryValueExA(key_, name, nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS) return std::nullopt;
    data.resize(bytes);
    return data;
  }

  bool write(const char* name, DWORD number) {
    return set(name, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  bool write(const char* name, const std::string& text) {
    return set(name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
  }
  bool write(const char* name, const std::vector<uint8_t>& data) {
    return set(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
  }

 private:
  bool set(const char* name, DWORD type, const BYTE* data, DWORD bytes) {
    return key_ && RegSetValueExA(key_, name, 0, type, data, bytes) == ERROR_SUCCESS;
  }

  HKEY key_ = nullptr;
};

}  // namespace

Preferences readPreferences() {
  Preferences read;
  ProfileSection preferences("Preferences", false);
  preferences.read("Warning Level", read.warningLevel);
  preferences.read("Warn Overwrite", read.warnOverwrite);
  preferences.read("Warn Not Saved", read.warnNotSaved);
  preferences.read("MIB Full Expand", read.mibFullExpand);
  preferences.read("Set File Types", read.setFileTypes);
  preferences.read("Save Source Paths", read.saveSourcePaths);
  preferences.read("Warn Before Remove", read.warnBeforeRemove);
  ProfileSection settings("Settings", false);
  settings.read("Load path", read.loadPath);
  settings.read("Save path", read.savePath);
  return read;
}

bool writePreferences(const Preferences& given) {
  ProfileSection preferences("Preferences", true);
  bool written = preferences.write("Warning Level", static_cast<DWORD>(given.warningLevel));
  written &= preferences.write("Warn Overwrite", given.warnOverwrite ? 1u : 0u);
  written &= preferences.write("Warn Not Saved", given.warnNotSaved ? 1u : 0u);
  written &= preferences.write("MIB Full Expand", given.mibFullExpand ? 1u : 0u);
  written &= preferences.write("Set File Types", given.setFileTypes ? 1u : 0u);
  written &= preferences.write("Save Source Paths", given.saveSourcePaths ? 1u : 0u);
  written &= preferences.write("Warn Before Remove", given.warnBeforeRemove ? 1u : 0u);
  ProfileSection settings("Settings", true);
  written &= settings.write("Load path", given.loadPath);
  written &= settings.write("Save path", given.savePath);
  return written;
}

std::optional<std::vector<uint8_t>> readLayout(const char* section, const char* name) {
  return ProfileSection(section, false).binary(name);
}

bool writeLayout(const char* section, const char* name, const std::vector<uint8_t>& state) {
  return ProfileSection(section, true).write(name, state);
}

}  // namespace modforge
