// The compiler window's settings, kept per user in the registry under
// HKEY_CURRENT_USER\SOFTWARE\Orvane\Orvane MIB Compiler, one key per
// section: "Preferences" and "Settings" hold the values below (numbers as
// REG_DWORD, folders as REG_SZ), "Layout" and "Toolbars" the window's
// geometry and bar state as REG_BINARY. A value that is missing or of
// another type reads as its default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modforge {

inline constexpr char kProfileKey[] = "SOFTWARE\\Orvane\\Orvane MIB Compiler";

struct Preferences {
  int warningLevel = 2;
  bool warnOverwrite = true;
  bool warnNotSaved = true;
  bool mibFullExpand = true;
  bool setFileTypes = true;
  bool saveSourcePaths = true;
  bool warnBeforeRemove = true;
  // Last folders of the source and save dialogs.
  std::string loadPath;
  std::string savePath;
};

[[nodiscard]] Preferences readPreferences();
// False when the registry refused a value.
bool writePreferences(const Preferences& preferences);

// Window and bar state: "Layout" values "Vertical splitter", "Horizontal
// splitter" and "Main Window", "Toolbars" value "State".
[[nodiscard]] std::optional<std::vector<uint8_t>> readLayout(const char* section, const char* name);
bool writeLayout(const char* section, const char* name, const std::vector<uint8_t>& state);

}  // namespace modforge
