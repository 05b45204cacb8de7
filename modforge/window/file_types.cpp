#include "file_types.h"

#include "platform/registry.h"

#include <initializer_list>

namespace modforge {
namespace {

constexpr char kFileType[] = "MIBfile";

bool setValue(const std::string& keyPath, const char* name, DWORD type, const void* data, DWORD bytes) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool set = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

bool setDefaultText(const std::string& keyPath, const std::string& text) {
  return setValue(keyPath, nullptr, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

}  // namespace

bool registerSourceFileTypes(const std::string& programPath) {
  bool written = true;
  for (const char* extension : {".mib", ".smi", ".mi2", ".sm2"}) written &= setDefaultText(extension, kFileType);
  const std::string type = kFileType;
  written &= setDefaultText(type, "Orvane MIB Compiler");
  const BYTE editFlags[4] = {0, 0, 0, 0};
  written &= setValue(type, "EditFlags", REG_BINARY, editFlags, sizeof editFlags);
  written &= setDefaultText(type + "\\Shell", "Compile");
  written &= setDefaultText(type + "\\Shell\\Compile", "Compile");
  // A program path with blanks is quoted, or the command would split it.
  std::string program = programPath.find_first_of(" \t") == std::string::npos ? programPath : '"' + programPath + '"';
  written &= setDefaultText(type + "\\Shell\\Compile\\command", program + " %1");
  written &= setDefaultText(type + "\\DefaultIcon", programPath + ",0");
  return written;
}

}  // namespace modforge
