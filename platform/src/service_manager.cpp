// The service manager's calls: records in the registry, and the status
// and controls of running services through their pid and status files.
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/tick.h"
#include "platform/waits.h"
#include "service_files.h"
#include "service_handles.h"

#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

using namespace platform::detail;

namespace platform::detail {
namespace {

constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
constexpr DWORD kControlPatience = 30000;
constexpr DWORD kStatusLookInterval = 20;

struct HandleTable {
  std::mutex lock;
  std::unordered_map<SC_HANDLE, std::unique_ptr<ServiceHandle>> handles;
};

HandleTable& handleTable() {
  static HandleTable* table = new HandleTable;
  return *table;
}

}  // namespace

SC_HANDLE addServiceHandle(ServiceHandle handle) {
  try {
    auto owned = std::make_unique<ServiceHandle>(std::move(handle));
    auto* key = reinterpret_cast<SC_HANDLE>(owned.get());
    HandleTable& table = handleTable();
    std::lock_guard guard(table.lock);
    table.handles.emplace(key, std::move(owned));
    return key;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

const ServiceHandle* findServiceHandle(SC_HANDLE handle, bool manager) {
  HandleTable& table = handleTable();
  std::lock_guard guard(table.lock);
  auto found = table.handles.find(handle);
  if (found == table.handles.end() || found->second->manager != manager) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second.get();
}

bool removeServiceHandle(SC_HANDLE handle) {
  HandleTable& table = handleTable();
  std::lock_guard guard(table.lock);
  return table.handles.erase(handle) == 1;
}

}  // namespace platform::detail

namespace {

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

SC_HANDLE failHandle(DWORD error) {
  SetLastError(error);
  return nullptr;
}

bool validName(LPCSTR name) {
  return name && *name && std::strlen(name) <= 256 && !std::strpbrk(name, "/\\");
}

std::string recordKey(const std::string& name) { return std::string(kServicesKey) + "\\" + name; }

DWORD setString(HKEY key, const char* name, DWORD type, const char* text) {
  return static_cast<DWORD>(RegSetValueEx(key, name, 0, type, reinterpret_cast<const BYTE*>(text),
                                          static_cast<DWORD>(std::strlen(text) + 1)));
}

DWORD setNumber(HKEY key, const char* name, DWORD number) {
  return static_cast<DWORD>(RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number));
}

DWORD writeRecord(const std::string& name, LPCSTR displayName, DWORD type, DWORD start, DWORD errorControl,
                  LPCSTR binaryPath) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG opened = RegCreateKeyEx(HKEY_LOCAL_MACHINE, recordKey(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
  DWORD error = disposition == REG_OPENED_EXISTING_KEY ? static_cast<DWORD>(ERROR_SERVICE_EXISTS) : ERROR_SUCCESS;
  if (!error) error = setString(key, "DisplayName", REG_SZ, displayName ? displayName : name.c_str());
  if (!error) error = setString(key, "ImagePath", REG_EXPAND_SZ, binaryPath);
  if (!error) error = setNumber(key, "Type", type);
  if (!error) error = setNumber(key, "Start", start);
  if (!error) error = setNumber(key, "ErrorControl", errorControl);
  RegCloseKey(key);
  return error;
}

bool recordExists(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, recordKey(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

const ServiceHandle* findService(SC_HANDLE handle, ServiceFiles& files) {
  const ServiceHandle* service = findServiceHandle(handle, false);
  if (!service) return nullptr;
  if (DWORD error = locateServiceFiles(service->name, files)) {
    SetLastError(error);
    return nullptr;
  }
  return service;
}

// Waits until the process that ran the service has ended, not merely
// given up its lock: it may still be on its way out.
bool waitForProcessEnd(pid_t process) {
  uint64_t deadline = GetTickCount64() + kControlPatience;
  while (!processEnded(process)) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(kStatusLookInterval);
  }
  return true;
}

}  // namespace

SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR, DWORD) {
  if (machine && *machine) return failHandle(ERROR_BAD_NETPATH);
  return addServiceHandle({true, ""});
}

SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, DWORD, DWORD serviceType,
                         DWORD startType, DWORD errorControl, LPCSTR binaryPath, LPCSTR, DWORD*, LPCSTR, LPCSTR,
                         LPCSTR) {
  if (!findServiceHandle(manager, true)) return nullptr;
  if (!validName(name)) return failHandle(ERROR_INVALID_NAME);
  if (!binaryPath || !*binaryPath) return failHandle(ERROR_INVALID_PARAMETER);
  platform::RegistryHiveLock hold(HKEY_LOCAL_MACHINE);
  if (DWORD error = writeRecord(name, displayName, serviceType, startType, errorControl, binaryPath)) {
    return failHandle(error);
  }
  return addServiceHandle({false, name});
}

SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD) {
  if (!findServiceHandle(manager, true)) return nullptr;
  if (!validName(name)) return failHandle(ERROR_INVALID_NAME);
  if (!recordExists(name)) return failHandle(ERROR_SERVICE_DOES_NOT_EXIST);
  return addServiceHandle({false, name});
}

BOOL QueryServiceStatus(SC_HANDLE handle, LPSERVICE_STATUS status) {
  ServiceFiles files;
  if (!findService(handle, files)) return FALSE;
  if (!status) return fail(ERROR_INVALID_PARAMETER);
  pid_t process = 0;
  *status = currentServiceStatus(files, process);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL ControlService(SC_HANDLE handle, DWORD control, LPSERVICE_STATUS status) {
  ServiceFiles files;
  if (!findService(handle, files)) return FALSE;
  if (!status) return fail(ERROR_INVALID_PARAMETER);
  if (control != SERVICE_CONTROL_STOP && control != SERVICE_CONTROL_INTERROGATE) {
    return fail(ERROR_INVALID_SERVICE_CONTROL);
  }
  pid_t process = 0;
  *status = currentServiceStatus(files, process);
  if (!process) return fail(ERROR_SERVICE_NOT_ACTIVE);
  if (control == SERVICE_CONTROL_INTERROGATE) {
    ::kill(process, SIGUSR1);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (!(status->dwControlsAccepted & SERVICE_ACCEPT_STOP)) return fail(ERROR_INVALID_SERVICE_CONTROL);
  if (::kill(process, SIGTERM) != 0) return fail(platform::errorFromErrno(errno));
  bool ended = waitForProcessEnd(process);
  *status = currentServiceStatus(files, process);
  if (!ended && status->dwCurrentState != SERVICE_STOPPED) return fail(ERROR_SERVICE_REQUEST_TIMEOUT);
  status->dwCurrentState = SERVICE_STOPPED;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL DeleteService(SC_HANDLE handle) {
  const ServiceHandle* service = findServiceHandle(handle, false);
  if (!service) return FALSE;
  LONG deleted = RegDeleteKey(HKEY_LOCAL_MACHINE, recordKey(service->name).c_str());
  if (deleted == ERROR_FILE_NOT_FOUND) return fail(ERROR_SERVICE_DOES_NOT_EXIST);
  if (deleted != ERROR_SUCCESS) return fail(static_cast<DWORD>(deleted));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL CloseServiceHandle(SC_HANDLE handle) {
  if (!removeServiceHandle(handle)) return fail(ERROR_INVALID_HANDLE);
  return TRUE;
}
