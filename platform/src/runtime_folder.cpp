// Finding, making and checking the runtime folder.
#include "platform/runtime_folder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string chosenFolder() {
  if (const char* folder = std::getenv("ORVANE_RUNTIME_DIR"); folder && *folder) return folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    return std::string(runtime) + "/orvane";
  }
  return "/tmp/orvane-" + std::to_string(getuid());
}

// A folder (not a link to one) that belongs to the user and that nobody
// else may read, write or enter.
bool isPrivateFolder(const std::string& folder) {
  struct stat status{};
  if (lstat(folder.c_str(), &status) != 0) return false;
  return S_ISDIR(status.st_mode) && status.st_uid == getuid() && (status.st_mode & 077) == 0;
}

}  // namespace

std::string runtimeFolder() {
  std::string folder = chosenFolder();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  return isPrivateFolder(folder) ? folder : "";
}

}  // namespace platform
