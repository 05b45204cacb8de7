#include "browser_command.h"

#include "platform/processes.h"
#include "platform/registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace weblaunch {
namespace {

constexpr DWORD kValueBuffer = 1024;

class OpenKey {
 public:
  explicit OpenKey(const std::string& path) {
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &handle_) != ERROR_SUCCESS)
      handle_ = nullptr;
  }
  ~OpenKey() {
    if (handle_) RegCloseKey(handle_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  // The key's default value when it is of one of `types`, with its type.
  std::optional<std::string> defaultText(std::initializer_list<DWORD> types, DWORD& type) const {
    if (!handle_) return std::nullopt;
    char data[kValueBuffer];
    DWORD bytes = sizeof data;
    if (RegQueryValueExA(handle_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS ||
        std::find(types.begin(), types.end(), type) == types.end()) {
      return std::nullopt;
    }
    // A multi-string's first string is the command.
    return std::string(data, strnlen(data, bytes));
  }

 private:
  HKEY handle_ = nullptr;
};

std::optional<std::string> expanded(const std::string& text) {
  char result[kValueBuffer];
  DWORD needed = ExpandEnvironmentStringsA(text.c_str(), result, sizeof result);
  if (needed == 0 || needed > sizeof result) return std::nullopt;
  return std::string(result);
}

}  // namespace

std::optional<std::string> htmlOpenCommand() {
  DWORD type = 0;
  std::optional<std::string> fileType = OpenKey(".html").defaultText({REG_SZ}, type);
  if (!fileType) return std::nullopt;
  std::optional<std::string> command =
      OpenKey(*fileType + "\\shell\\open\\command").defaultText({REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}, type);
  if (!command || type != REG_EXPAND_SZ) return command;
  return expanded(*command);
}

// The program's name is found without regard to case, but the command
// keeps its own: file names here are case-sensitive.
std::string commandOpening(const std::string& openCommand, const std::string& address) {
  std::string lower = openCommand;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  std::string command = openCommand;
  if (size_t exe = lower.find(".exe"); exe != std::string::npos) {
    command = openCommand.substr(0, exe + 4);
    if (!command.empty() && command.front() == '"') command.push_back('"');
  }
  return command + " " + address;
}

}  // namespace weblaunch
