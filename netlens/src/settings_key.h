// The browser's settings in the per-user registry: one subkey of
// "SOFTWARE\Orvane\Orvane MIB Browser\1.0" per section, every value a
// string. Numbers and check-box states are written in decimal and read in
// decimal or as "0x" hexadecimal; a value that is missing, not a string or
// not a number reads as the caller's default. Write failures are not
// reported: settings are a convenience, never a reason to stop.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace netlens {

inline constexpr char kBrowserKey[] = "SOFTWARE\\Orvane\\Orvane MIB Browser\\1.0";

// A decimal number (with an optional sign) or "0x"/"0X" and hexadecimal
// digits, filling a 32-bit signed integer; nothing else.
std::optional<int> parseSettingNumber(const std::string& text);

class SettingsKey {
 public:
  // `section` is the subkey below the browser's key, such as
  // "Layouts\\MIB Browser".
  explicit SettingsKey(std::string section) : section_(std::move(section)) {}

  std::optional<std::string> readText(const char* name) const;
  QString readString(const char* name, const QString& fallback) const;
  int readNumber(const char* name, int fallback) const;
  bool readFlag(const char* name, bool fallback) const { return readNumber(name, fallback ? 1 : 0) != 0; }

  void writeString(const char* name, const QString& value) const;
  void writeNumber(const char* name, long long value) const;
  void writeFlag(const char* name, bool value) const { writeNumber(name, value ? 1 : 0); }

  // Removes the section with all its values (history lists are rewritten
  // whole).
  void erase() const;

 private:
  std::string path() const;

  std::string section_;
};

}  // namespace netlens
