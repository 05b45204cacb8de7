// Installing, starting, stopping and removing the service, and handing
// the process to the service dispatcher.
#include "service_control.h"

#include "console_texts.h"
#include "polling_service.h"

#include "platform/errors.h"
#include "platform/module_file.h"
#include "platform/services.h"

#include <cstdio>

namespace pollhost {
namespace {

// Handles of the service manager and of the service, closed at the end.
class ManagerHandles {
 public:
  ManagerHandles() : manager_(OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    if (manager_) service_ = OpenService(manager_, kServiceName, SERVICE_ALL_ACCESS);
  }
  ~ManagerHandles() {
    if (service_) CloseServiceHandle(service_);
    if (manager_) CloseServiceHandle(manager_);
  }
  ManagerHandles(const ManagerHandles&) = delete;
  ManagerHandles& operator=(const ManagerHandles&) = delete;

  SC_HANDLE manager() const { return manager_; }
  SC_HANDLE service() const { return service_; }
  void adopt(SC_HANDLE service) { service_ = service; }

  bool running() const {
    SERVICE_STATUS status{};
    return service_ && QueryServiceStatus(service_, &status) && status.dwCurrentState != SERVICE_STOPPED;
  }

 private:
  SC_HANDLE manager_;
  SC_HANDLE service_ = nullptr;
};

void start(ManagerHandles& handles) {
  if (handles.running()) {
    printMessage("%s has already been started.\r\n");
  } else if (StartService(handles.service(), 0, nullptr)) {
    printMessage("%s was started.\r\n");
  } else {
    printMessage("%s failed to start. %s\r\n", GetLastError());
  }
}

// Our error texts carry no line break of their own, so this message,
// which has none after the text, gets one.
void printStopFailure(DWORD error) {
  printMessage("%s failed to stop. %s", error);
  std::printf("\r\n");
}

}  // namespace

void installService() {
  ManagerHandles handles;
  if (handles.service()) {
    printMessage("%s has already been installed.\r\n");
    start(handles);
    return;
  }
  std::string program = platform::programFile();
  SC_HANDLE created = handles.manager() ? CreateService(handles.manager(), kServiceName, kServiceName,
                                                        SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                                        SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, program.c_str(),
                                                        nullptr, nullptr, nullptr, nullptr, nullptr)
                                        : nullptr;
  if (!created) {
    printMessage("%s failed to install. %s\r\n", GetLastError());
    return;
  }
  handles.adopt(created);
  printMessage("%s was installed.\r\n");
  start(handles);
}

void uninstallService() {
  ManagerHandles handles;
  if (!handles.service()) {
    printMessage("%s is not installed.\r\n");
    return;
  }
  bool stopped = false;
  DWORD stopError = NO_ERROR;
  if (handles.running()) {
    SERVICE_STATUS status{};
    stopped = ControlService(handles.service(), SERVICE_CONTROL_STOP, &status);
    if (!stopped) stopError = GetLastError();
  }
  if (!DeleteService(handles.service())) {
    DWORD error = GetLastError();
    if (stopError != NO_ERROR) printStopFailure(stopError);
    else printMessage("Could not uninstall %s. %s\r\n", error);
    return;
  }
  if (stopped) printMessage("%s was stopped.\r\n");
  if (stopError != NO_ERROR) printStopFailure(stopError);
  printMessage("%s was uninstalled.\r\n");
}

void runAsServiceOrShowUsage() {
  bool byManager = platform::startedByServiceManager();
  ManagerHandles handles;
  if (!byManager && (!handles.service() || handles.running())) {
    std::printf("%s", usageText().c_str());
    return;
  }
  std::printf("\r\nStarting service...");
  std::fflush(stdout);
  SERVICE_TABLE_ENTRY table[] = {{const_cast<char*>(kServiceName), serviceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcher(table)) {
    std::printf("Failed\r\n\r\n\r\n%s", usageText().c_str());
  }
}

}  // namespace pollhost
