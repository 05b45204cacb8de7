// Finding and making the runtime folder.
#include "platform/runtime_directory.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Makes the folder and its missing parents; the last one owner-only.
bool makeFolder(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (::mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// A shared folder such as /tmp lets anyone make our folder first.
bool ownedAndClosed(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return false;
  if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
    errno = EACCES;
    return false;
  }
  return true;
}

}  // namespace

std::string runtimeDirectory() {
  if (const char* folder = std::getenv("ORVANE_RUNTIME_DIR"); folder && *folder) {
    return makeFolder(folder) ? folder : "";
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    std::string folder = std::string(runtime) + "/orvane";
    return makeFolder(folder) ? folder : "";
  }
  std::string folder = "/tmp/orvane-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  return ownedAndClosed(folder) ? folder : "";
}

std::string runtimePath(const std::string& name) {
  std::string folder = runtimeDirectory();
  return folder.empty() ? "" : folder + "/" + name;
}

}  // namespace platform
