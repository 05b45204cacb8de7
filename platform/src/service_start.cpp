// StartService: the service's program as a daemon, and the wait for its
// first word.
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/tick.h"
#include "platform/waits.h"
#include "service_files.h"
#include "service_handles.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace platform::detail;
using platform::errorFromErrno;

namespace {

constexpr DWORD kStartPatience = 30000;
constexpr DWORD kStatusLookInterval = 20;
constexpr char kStartVariable[] = "ORVANE_SERVICE_START=";

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

DWORD readImagePath(const std::string& name, std::string& path) {
  HKEY key = nullptr;
  std::string keyPath = "SYSTEM\\CurrentControlSet\\Services\\" + name;
  LONG opened = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return ERROR_SERVICE_DOES_NOT_EXIST;
  if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
  char text[4096];
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  LONG read = RegQueryValueEx(key, "ImagePath", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return static_cast<DWORD>(read);
  text[size] = '\0';
  path = text;
  return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

// The starter's environment, naming the service to start.
std::vector<std::string> daemonEnvironment(const std::string& name) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry; ++entry) {
    if (std::strncmp(*entry, kStartVariable, sizeof kStartVariable - 1) != 0) entries.emplace_back(*entry);
  }
  entries.push_back(kStartVariable + name);
  return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The daemon's side, between fork and exec: only calls that are safe in
// the child of a threaded process. It sends its pid, and its errno when
// the exec fails.
[[noreturn]] void becomeDaemon(const char* program, char* const* arguments, char* const* environment, int report) {
  pid_t self = ::getpid();
  (void)!::write(report, &self, sizeof self);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGUSR1}) ::signal(signal, SIG_DFL);
  int null = ::open("/dev/null", O_RDWR);
  for (int stream = 0; stream < 3; ++stream) ::dup2(null, stream);
  // Nothing of the starter may stay open in the daemon: a starter that
  // reads its own output until the end would wait for ever.
  ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
  ::execve(program, arguments, environment);
  int error = errno;
  (void)!::write(report, &error, sizeof error);
  _exit(127);
}

// Forks twice so the daemon belongs to no one's session and is nobody's
// child to reap. The daemon's pid, or 0 with `error` set.
pid_t spawnDaemon(const std::string& program, const std::string& name, DWORD& error) {
  std::vector<std::string> argumentTexts{program};
  std::vector<std::string> environmentTexts = daemonEnvironment(name);
  std::vector<char*> arguments = pointersTo(argumentTexts);
  std::vector<char*> environment = pointersTo(environmentTexts);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = errorFromErrno(errno);
    return 0;
  }
  pid_t middle = ::fork();
  if (middle == 0) {
    ::setsid();
    pid_t daemon = ::fork();
    if (daemon == 0) becomeDaemon(program.c_str(), arguments.data(), environment.data(), report[1]);
    _exit(0);
  }
  ::close(report[1]);
  pid_t daemon = 0;
  int execError = 0;
  if (middle > 0) {
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    if (::read(report[0], &daemon, sizeof daemon) != sizeof daemon || daemon <= 0) daemon = 0;
    if (daemon && ::read(report[0], &execError, sizeof execError) == sizeof execError) daemon = 0;
  }
  ::close(report[0]);
  error = middle < 0 ? errorFromErrno(errno) : execError ? errorFromErrno(execError) : ERROR_SUCCESS;
  if (!daemon && !error) error = ERROR_SERVICE_NO_THREAD;
  return daemon;
}

// Waits until the daemon reports that it runs or has stopped.
BOOL awaitFirstReport(const ServiceFiles& files, pid_t daemon) {
  uint64_t deadline = GetTickCount64() + kStartPatience;
  for (;;) {
    bool ended = processEnded(daemon);
    ReportedStatus reported;
    if (readReportedStatus(files, reported) && reported.pid == daemon &&
        reported.status.dwCurrentState != SERVICE_START_PENDING) {
      if (reported.status.dwCurrentState != SERVICE_STOPPED || reported.status.dwWin32ExitCode == NO_ERROR) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
      }
      return fail(reported.status.dwWin32ExitCode);
    }
    if (ended) return fail(ERROR_PROCESS_ABORTED);
    if (GetTickCount64() >= deadline) return fail(ERROR_SERVICE_REQUEST_TIMEOUT);
    Sleep(kStatusLookInterval);
  }
}

}  // namespace

BOOL StartServiceA(SC_HANDLE handle, DWORD, LPCSTR*) {
  const ServiceHandle* service = findServiceHandle(handle, false);
  if (!service) return FALSE;
  std::string name = service->name;
  ServiceFiles files;
  if (DWORD error = locateServiceFiles(name, files)) return fail(error);
  if (serviceProcess(files)) return fail(ERROR_SERVICE_ALREADY_RUNNING);
  std::string program;
  if (DWORD error = readImagePath(name, program)) return fail(error);
  DWORD error = ERROR_SUCCESS;
  pid_t daemon = spawnDaemon(program, name, error);
  if (!daemon) return fail(error);
  return awaitFirstReport(files, daemon);
}
