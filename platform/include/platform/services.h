// Services: programs that run in the background, installed, started,
// queried, stopped and deleted through the service manager, and the
// dispatcher that runs a service's main and control handler inside it.
//
// On POSIX the manager is this library:
// - A service's record is the registry key
//   HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\<name>
//   (DisplayName, ImagePath, Type, Start, ErrorControl).
// - StartService runs the program as a daemon (its own session, standard
//   streams on /dev/null, no descriptor of the starter, the starter's
//   environment and folder) with ORVANE_SERVICE_START=<name> in its
//   environment, and waits until the service reports that it runs or has
//   stopped (at most 30 seconds). Start arguments are not passed on.
// - The running service holds a lock on its pid file
//   "service-<name>.pid" in the runtime folder and keeps its last
//   reported status in "service-<name>.status" beside it.
// - A stop control is SIGTERM and an interrogation SIGUSR1, so systemd
//   and kill stop a service the same way. ControlService waits (at most
//   30 seconds) until a stopped service's process has ended.
// - A service whose environment holds ORVANE_SERVICE_OWNER_PID=<pid> is
//   stopped as by a stop control when that process ends (for tests,
//   whose services must not outlive them).
// - DeleteService removes the record at once; a running service goes on.
// - Only the local computer's manager exists.
// Errors are reported through GetLastError (errors.h).
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
struct SC_HANDLE__;
typedef SC_HANDLE__* SC_HANDLE;
struct SERVICE_STATUS_HANDLE__;
typedef SERVICE_STATUS_HANDLE__* SERVICE_STATUS_HANDLE;

#  define SC_MANAGER_CONNECT 0x0001u
#  define SC_MANAGER_CREATE_SERVICE 0x0002u
#  define SC_MANAGER_ALL_ACCESS 0xF003Fu
#  define SERVICE_QUERY_STATUS 0x0004u
#  define SERVICE_START 0x0010u
#  define SERVICE_STOP 0x0020u
#  define SERVICE_INTERROGATE 0x0080u
#  define SERVICE_ALL_ACCESS 0xF01FFu
#  define DELETE 0x00010000u

#  define SERVICE_WIN32_OWN_PROCESS 0x00000010u
#  define SERVICE_AUTO_START 0x00000002u
#  define SERVICE_DEMAND_START 0x00000003u
#  define SERVICE_ERROR_NORMAL 0x00000001u

#  define SERVICE_STOPPED 0x00000001u
#  define SERVICE_START_PENDING 0x00000002u
#  define SERVICE_STOP_PENDING 0x00000003u
#  define SERVICE_RUNNING 0x00000004u

#  define SERVICE_ACCEPT_STOP 0x00000001u
#  define SERVICE_CONTROL_STOP 0x00000001u
#  define SERVICE_CONTROL_INTERROGATE 0x00000004u

#  define NO_ERROR 0u
#  define ERROR_SERVICE_SPECIFIC_ERROR 1066u

struct SERVICE_STATUS {
  DWORD dwServiceType;
  DWORD dwCurrentState;
  DWORD dwControlsAccepted;
  DWORD dwWin32ExitCode;
  DWORD dwServiceSpecificExitCode;
  DWORD dwCheckPoint;
  DWORD dwWaitHint;
};
typedef SERVICE_STATUS* LPSERVICE_STATUS;

typedef void(WINAPI* LPSERVICE_MAIN_FUNCTIONA)(DWORD argumentCount, LPSTR* arguments);
typedef void(WINAPI* LPHANDLER_FUNCTION)(DWORD control);

struct SERVICE_TABLE_ENTRYA {
  LPSTR lpServiceName;
  LPSERVICE_MAIN_FUNCTIONA lpServiceProc;
};

// `machine` must be null or empty (this computer).
PLATFORM_API SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access);
// ERROR_SERVICE_EXISTS when the record is there already; ERROR_INVALID_NAME
// for an empty name or one with "/" or "\". The group, tag, dependencies
// and account are not kept.
PLATFORM_API SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, DWORD access,
                                      DWORD serviceType, DWORD startType, DWORD errorControl,
                                      LPCSTR binaryPath, LPCSTR loadOrderGroup, DWORD* tagId,
                                      LPCSTR dependencies, LPCSTR account, LPCSTR password);
// ERROR_SERVICE_DOES_NOT_EXIST without a record.
PLATFORM_API SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access);
// ERROR_SERVICE_ALREADY_RUNNING; the program's start error (its errno as
// a code); the exit code the service reported when it stopped during its
// start, or ERROR_PROCESS_ABORTED when it ended without a word;
// ERROR_SERVICE_REQUEST_TIMEOUT.
PLATFORM_API BOOL StartServiceA(SC_HANDLE service, DWORD argumentCount, LPCSTR* arguments);
// SERVICE_CONTROL_STOP or SERVICE_CONTROL_INTERROGATE; the status after
// it. ERROR_SERVICE_NOT_ACTIVE, ERROR_INVALID_SERVICE_CONTROL when the
// service does not accept a stop, ERROR_SERVICE_REQUEST_TIMEOUT.
PLATFORM_API BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status);
PLATFORM_API BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status);
PLATFORM_API BOOL DeleteService(SC_HANDLE service);
PLATFORM_API BOOL CloseServiceHandle(SC_HANDLE handle);

// Runs the service this process was started for (the table entry of its
// name, or the only entry): its main on a thread of its own, and its
// control handler on the calling thread, until it reports
// SERVICE_STOPPED (or its main returns). Fails with
// ERROR_FAILED_SERVICE_CONTROLLER_CONNECT in a process the manager did not
// start, ERROR_SERVICE_ALREADY_RUNNING when another process runs it.
PLATFORM_API BOOL StartServiceCtrlDispatcherA(const SERVICE_TABLE_ENTRYA* table);
// For the service's main: the handle its status is reported through.
PLATFORM_API SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerA(LPCSTR name, LPHANDLER_FUNCTION handler);
PLATFORM_API BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status);

#  define OpenSCManager OpenSCManagerA
#  define CreateService CreateServiceA
#  define OpenService OpenServiceA
#  define StartService StartServiceA
#  define StartServiceCtrlDispatcher StartServiceCtrlDispatcherA
#  define RegisterServiceCtrlHandler RegisterServiceCtrlHandlerA
#  define SERVICE_TABLE_ENTRY SERVICE_TABLE_ENTRYA
#endif

namespace platform {

// True in a process that a service manager started as a service (here
// or through systemd, whose unit says so with ORVANE_SERVICE_START), until
// its dispatcher runs.
PLATFORM_API bool startedByServiceManager();

}  // namespace platform
