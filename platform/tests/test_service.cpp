// A small service for the service manager's tests. TEST_SERVICE_MODE
// chooses how it behaves: "run" (the default) runs until stopped and
// counts interrogations in its specific exit code, "fail" stops during
// its start with ERROR_ACCESS_DENIED.
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/waits.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char serviceName[] = "Test Service";
SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, 0, 0, 0, 0};
HANDLE stopEvent = nullptr;

void report(DWORD state) {
  status.dwCurrentState = state;
  SetServiceStatus(statusHandle, &status);
}

void WINAPI handleControl(DWORD control) {
  if (control == SERVICE_CONTROL_STOP) {
    report(SERVICE_STOP_PENDING);
    SetEvent(stopEvent);
  } else if (control == SERVICE_CONTROL_INTERROGATE) {
    ++status.dwServiceSpecificExitCode;
    report(status.dwCurrentState);
  }
}

void WINAPI serviceMain(DWORD, LPSTR*) {
  statusHandle = RegisterServiceCtrlHandler(serviceName, handleControl);
  const char* mode = std::getenv("TEST_SERVICE_MODE");
  if (mode && std::strcmp(mode, "fail") == 0) {
    status.dwWin32ExitCode = ERROR_ACCESS_DENIED;
    report(SERVICE_STOPPED);
    return;
  }
  stopEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  status.dwControlsAccepted = SERVICE_ACCEPT_STOP;
  report(SERVICE_RUNNING);
  WaitForSingleObject(stopEvent, INFINITE);
  status.dwControlsAccepted = 0;
  report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  SERVICE_TABLE_ENTRY table[] = {{serviceName, serviceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcher(table)) {
    std::printf("dispatcher failed: %u\n", GetLastError());
    return 3;
  }
  return 0;
}
