// The folder of published windows: one socket per window, named by its
// handle in hexadecimal, beside a file holding the window's class and title.
#include "published_windows.h"

#include "platform/runtime_folder.h"
#include "window_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::detail {
namespace {

constexpr char kDescriptionSuffix[] = ".window";
constexpr size_t kHandleDigits = 16;

struct Description {
  std::string className;
  std::string title;
};

bool readDescription(const std::string& path, Description& description) {
  std::ifstream file(path);
  return static_cast<bool>(std::getline(file, description.className)) &&
         static_cast<bool>(std::getline(file, description.title));
}

bool matches(const std::string& text, LPCSTR wanted) { return !wanted || strcasecmp(text.c_str(), wanted) == 0; }

// The handle a socket's name gives, or null for a name of another form.
HWND handleOfName(const std::string& name) {
  if (name.size() != kHandleDigits) return nullptr;
  char* end = nullptr;
  unsigned long long value = std::strtoull(name.c_str(), &end, 16);
  return *end ? nullptr : reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

enum class Liveness { live, dead, unknown };

// A socket nobody is bound to refuses the connection: its process ended
// without withdrawing the window.
Liveness livenessOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return Liveness::unknown;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return Liveness::unknown;
  int result = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int error = errno;
  close(probe);
  if (result == 0) return Liveness::live;
  return error == ECONNREFUSED || error == ENOENT ? Liveness::dead : Liveness::unknown;
}

}  // namespace

std::string windowsFolder() {
  std::string runtime = runtimeFolder();
  if (runtime.empty()) return "";
  std::string folder = runtime + "/windows";
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  return folder;
}

std::string socketPathOf(const std::string& folder, HWND window) {
  char name[kHandleDigits + 1];
  std::snprintf(name, sizeof name, "%016llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return folder + "/" + name;
}

HWND findPublishedWindow(LPCSTR className, LPCSTR title) noexcept {
  try {
    std::string folder = windowsFolder();
    DIR* entries = folder.empty() ? nullptr : opendir(folder.c_str());
    if (!entries) return nullptr;
    HWND found = nullptr;
    while (dirent* entry = readdir(entries)) {
      std::string name = entry->d_name;
      if (!name.ends_with(kDescriptionSuffix)) continue;
      std::string socketName = name.substr(0, name.size() - std::strlen(kDescriptionSuffix));
      HWND window = handleOfName(socketName);
      Description description;
      if (!window || ownerProcessOf(window) == static_cast<unsigned long>(getpid()) ||
          !readDescription(folder + "/" + name, description) || !matches(description.className, className) ||
          !matches(description.title, title)) {
        continue;
      }
      std::string socketPath = folder + "/" + socketName;
      Liveness liveness = livenessOf(socketPath);
      if (liveness == Liveness::live) {
        found = window;
        break;
      }
      if (liveness == Liveness::dead) {
        unlink((folder + "/" + name).c_str());
        unlink(socketPath.c_str());
      }
    }
    closedir(entries);
    return found;
  } catch (...) {
    return nullptr;
  }
}

bool windowSocketLive(HWND window) noexcept {
  try {
    std::string folder = windowsFolder();
    return !folder.empty() && livenessOf(socketPathOf(folder, window)) == Liveness::live;
  } catch (...) {
    return false;
  }
}

}  // namespace platform::detail
