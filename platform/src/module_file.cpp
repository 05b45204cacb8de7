// The file a piece of code was loaded from (a library's own file name),
// and the running program's own file.
#include "platform/module_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace platform {

DWORD moduleFileName(const void* addressInModule, char* buffer, DWORD size) {
  Dl_info information{};
  if (!buffer || size == 0 || !dladdr(addressInModule, &information) || !information.dli_fname) return 0;
  size_t length = std::min<size_t>(std::strlen(information.dli_fname), size - 1);
  std::memcpy(buffer, information.dli_fname, length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

std::string programFile() {
  char path[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
}

}  // namespace platform
