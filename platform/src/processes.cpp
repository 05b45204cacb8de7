// Programs started and waited for.
#include "platform/processes.h"

#include <cerrno>
#include <climits>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

int runProgramToEnd(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    errno = EINVAL;
    return -1;
  }
  std::vector<char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  pid_t child = 0;
  int error = ::posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ);
  if (error != 0) {
    errno = error;
    return -1;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (!WIFEXITED(status)) {
    errno = EINTR;
    return -1;
  }
  return WEXITSTATUS(status);
}

std::string programFile() {
  char path[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace platform
