// Pid and status files of services. The lock is a POSIX record lock, so
// that a caller can ask who holds it (F_GETLK) without taking it and so
// without disturbing a service that is taking it at that moment.
#include "service_files.h"

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/runtime_folder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace platform::detail {

DWORD locateServiceFiles(const std::string& name, ServiceFiles& files) {
  std::string folder = runtimeFolder();
  if (folder.empty()) return ERROR_ACCESS_DENIED;  // missing, or open to others
  files.pidPath = folder + "/service-" + name + ".pid";
  files.statusPath = folder + "/service-" + name + ".status";
  return ERROR_SUCCESS;
}

bool readReportedStatus(const ServiceFiles& files, ReportedStatus& reported) {
  std::ifstream file(files.statusPath);
  SERVICE_STATUS& status = reported.status;
  long pid = 0;
  if (!(file >> pid >> status.dwServiceType >> status.dwCurrentState >> status.dwControlsAccepted >>
        status.dwWin32ExitCode >> status.dwServiceSpecificExitCode >> status.dwCheckPoint >> status.dwWaitHint)) {
    return false;
  }
  reported.pid = static_cast<pid_t>(pid);
  return true;
}

bool writeReportedStatus(const ServiceFiles& files, const ReportedStatus& reported) {
  const SERVICE_STATUS& status = reported.status;
  std::ostringstream text;
  text << reported.pid << ' ' << status.dwServiceType << ' ' << status.dwCurrentState << ' '
       << status.dwControlsAccepted << ' ' << status.dwWin32ExitCode << ' ' << status.dwServiceSpecificExitCode << ' '
       << status.dwCheckPoint << ' ' << status.dwWaitHint << '\n';
  int error = 0;
  return replaceFileAtomically(files.statusPath, text.str(), error);
}

pid_t serviceProcess(const ServiceFiles& files) {
  int descriptor = ::open(files.pidPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return 0;
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  int result = ::fcntl(descriptor, F_GETLK, &lock);
  ::close(descriptor);
  return result == 0 && lock.l_type != F_UNLCK ? lock.l_pid : 0;
}

SERVICE_STATUS currentServiceStatus(const ServiceFiles& files, pid_t& process) {
  process = serviceProcess(files);
  ReportedStatus reported;
  bool known = readReportedStatus(files, reported);
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  if (!process) {
    status.dwCurrentState = SERVICE_STOPPED;
    if (known && reported.status.dwCurrentState == SERVICE_STOPPED) {
      status.dwWin32ExitCode = reported.status.dwWin32ExitCode;
      status.dwServiceSpecificExitCode = reported.status.dwServiceSpecificExitCode;
    }
    return status;
  }
  if (known && reported.pid == process) return reported.status;
  status.dwCurrentState = SERVICE_START_PENDING;
  return status;
}

bool processEnded(pid_t process) {
  if (::kill(process, 0) != 0 && errno == ESRCH) return true;
  std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return false;
  size_t close = text.rfind(')');
  if (close == std::string::npos || close + 2 >= text.size()) return false;
  char state = text[close + 2];
  return state == 'Z' || state == 'X';
}

int lockServiceProcess(const ServiceFiles& files) {
  int descriptor = ::open(files.pidPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor < 0) return -1;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(descriptor, F_SETLK, &lock) != 0) {
    int error = errno == EACCES ? EAGAIN : errno;
    ::close(descriptor);
    errno = error;
    return -1;
  }
  // The lock is what counts; the number is for people and other managers.
  std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(descriptor, 0) == 0) (void)!::pwrite(descriptor, pid.data(), pid.size(), 0);
  return descriptor;
}

}  // namespace platform::detail
