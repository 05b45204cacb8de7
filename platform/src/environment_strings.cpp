// %NAME% expansion from the process environment.
#include "platform/processes.h"

#include <cstdlib>
#include <cstring>
#include <string>

DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size) {
  if (!source) return 0;
  std::string expanded;
  try {
    for (const char* at = source; *at;) {
      const char* close = *at == '%' ? std::strchr(at + 1, '%') : nullptr;
      if (!close || close == at + 1) {
        expanded.push_back(*at++);
        continue;
      }
      std::string name(at + 1, close);
      const char* value = std::getenv(name.c_str());
      expanded.append(value ? std::string(value) : "%" + name + "%");
      at = close + 1;
    }
  } catch (...) {
    return 0;
  }
  DWORD needed = static_cast<DWORD>(expanded.size() + 1);
  if (destination && needed <= size) std::memcpy(destination, expanded.c_str(), needed);
  return needed;
}
