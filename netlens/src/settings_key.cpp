// Reading and writing the browser's settings values.
#include "settings_key.h"

#include "platform/registry.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace netlens {

std::optional<int> parseSettingNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const char* start = text.c_str();
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    start += 2;
  }
  // strtoll would accept blanks and a sign after "0x"; neither is a number here.
  if (!std::isxdigit(static_cast<unsigned char>(*start)) && !(base == 10 && (*start == '-' || *start == '+'))) {
    return std::nullopt;
  }
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(start, &end, base);
  if (errno || *end || end == start) return std::nullopt;
  if (base == 16 && value <= static_cast<long long>(UINT_MAX)) value = static_cast<int>(static_cast<unsigned>(value));
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string SettingsKey::path() const { return std::string(kBrowserKey) + "\\" + section_; }

std::optional<std::string> SettingsKey::readText(const char* name) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0, bytes = 0;
  std::optional<std::string> text;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && type == REG_SZ) {
    std::vector<char> data(bytes + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &bytes) == ERROR_SUCCESS) {
      text = std::string(data.data());
    }
  }
  RegCloseKey(key);
  return text;
}

QString SettingsKey::readString(const char* name, const QString& fallback) const {
  auto text = readText(name);
  return text ? QString::fromStdString(*text) : fallback;
}

int SettingsKey::readNumber(const char* name, int fallback) const {
  auto text = readText(name);
  if (!text) return fallback;
  return parseSettingNumber(*text).value_or(fallback);
}

void SettingsKey::writeString(const char* name, const QString& value) const {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  QByteArray text = value.toUtf8();
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.constData()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void SettingsKey::writeNumber(const char* name, long long value) const {
  writeString(name, QString::number(value));
}

void SettingsKey::erase() const {
  HKEY parent = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kBrowserKey, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS) return;
  RegDeleteKeyA(parent, section_.c_str());
  RegCloseKey(parent);
}

}  // namespace netlens
