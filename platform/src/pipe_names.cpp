// Pipe names and socket paths.
#include "pipe_names.h"

#include "platform/errors.h"
#include "platform/runtime_folder.h"

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <sys/un.h>

namespace platform::detail {

DWORD locatePipe(const char* name, PipeLocation& location) {
  if (!name || std::strncmp(name, "\\\\", 2) != 0) return ERROR_INVALID_NAME;
  const char* computer = name + 2;
  const char* separator = std::strchr(computer, '\\');
  if (!separator || strncasecmp(separator, "\\pipe\\", 6) != 0) return ERROR_INVALID_NAME;
  if (separator - computer != 1 || computer[0] != '.') return ERROR_BAD_NETPATH;
  std::string pipeName = separator + 6;
  if (pipeName.empty() || pipeName.find('/') != std::string::npos) return ERROR_INVALID_NAME;
  std::string folder = runtimeFolder();
  if (folder.empty()) return ERROR_ACCESS_DENIED;  // missing, or open to others
  location.socketPath = folder + "/pipe-" + pipeName;
  location.lockPath = location.socketPath + ".lock";
  if (location.socketPath.size() >= sizeof(sockaddr_un::sun_path)) return ERROR_FILENAME_EXCED_RANGE;
  return ERROR_SUCCESS;
}

}  // namespace platform::detail
