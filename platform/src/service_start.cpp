// StartService: the service's program as a daemon, and the wait for its
// first word.
#include "platform/errors.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/tick.h"
#include "platform/waits.h"
#include "service_files.h"
#include "service_handles.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

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

// The starter's environment, naming the service to start, as the block
// of zero-ended strings CreateProcess takes.
std::string daemonEnvironment(const std::string& name) {
  std::string block;
  for (char** entry = environ; *entry; ++entry) {
    if (std::strncmp(*entry, kStartVariable, sizeof kStartVariable - 1) != 0) block.append(*entry).push_back('\0');
  }
  block.append(kStartVariable + name).push_back('\0');
  block.push_back('\0');
  return block;
}

// The daemon: a detached process (a session of its own, its standard
// streams on /dev/null) that keeps none of the starter's descriptors, so
// a starter that reads its own output to the end is not kept waiting.
// Its pid, or 0 with `error` set.
pid_t spawnDaemon(const std::string& program, const std::string& name, DWORD& error) {
  if (::access(program.c_str(), X_OK) != 0) {
    error = errorFromErrno(errno);
    return 0;
  }
  std::string commandLine = "\"" + program + "\"";
  std::string environment = daemonEnvironment(name);
  STARTUPINFO startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcess(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                     environment.data(), nullptr, &startup, &process)) {
    error = ERROR_SERVICE_NO_THREAD;
    return 0;
  }
  CloseHandle(process.hProcess);
  error = ERROR_SUCCESS;
  return static_cast<pid_t>(process.dwProcessId);
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
