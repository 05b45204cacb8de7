// The service record and the service's start and stop.
#include "polling_service.h"

#include "pipe_commands.h"
#include "pipe_server.h"
#include "poller.h"
#include "service_threads.h"

#include "platform/errors.h"
#include "platform/services.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

namespace pollhost {
namespace {

// What runs while the service runs.
struct Workers {
  explicit Workers(const Timing& timing, time_t started, const std::string& group, PipeFailure failed)
      : poller(timing),
        answers(poller, started),
        server(answers, kServiceName, timing.pipeIdleLimit),
        pollingThread(poller, server, timing, group, std::move(failed)) {}

  Poller poller;
  CommandAnswers answers;
  PipeServer server;
  PollingThread pollingThread;
};

struct ServiceRecord {
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  std::mutex statusLock;
  SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
  HANDLE stopEvent = nullptr;
  time_t startTime = 0;
  std::mutex stopLock;
  bool stopped = false;
  std::atomic<DWORD> failure{NO_ERROR};  // why the service stops by itself
  std::unique_ptr<Workers> workers;
};

ServiceRecord record;

void report(DWORD state, DWORD checkPoint, DWORD exitCode = NO_ERROR) {
  std::lock_guard guard(record.statusLock);
  record.status.dwCurrentState = state;
  record.status.dwCheckPoint = checkPoint;
  record.status.dwWin32ExitCode = exitCode;
  record.status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  record.status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : 3000;
  SetServiceStatus(record.statusHandle, &record.status);
}

void reportAgain() {
  std::lock_guard guard(record.statusLock);
  SetServiceStatus(record.statusHandle, &record.status);
}

// The pipe can no longer serve: the service stops as when told to. Takes
// no lock, since the stop waits for the thread that calls it.
void pipeFailed(DWORD error) {
  DWORD none = NO_ERROR;
  record.failure.compare_exchange_strong(none, error ? error : ERROR_BROKEN_PIPE);
  SetEvent(record.stopEvent);
}

// Stops everything once, whoever comes first: the control handler, or
// the service's main woken by a failure.
void stopService() {
  std::lock_guard guard(record.stopLock);
  if (record.stopped) return;
  record.stopped = true;
  report(SERVICE_STOP_PENDING, 1);
  SetEvent(record.stopEvent);
  report(SERVICE_STOP_PENDING, 2);
  if (record.workers) record.workers->pollingThread.stop();
  report(SERVICE_STOP_PENDING, 3);
  record.workers.reset();
  report(SERVICE_STOPPED, 0, record.failure);
}

std::string pipeGroup() {
  const char* group = std::getenv("ORVANE_POLLHOST_GROUP");
  return group ? group : "";
}

}  // namespace

// A stop that comes while the service starts waits for the start to end.
void WINAPI serviceMain(DWORD, LPSTR*) {
  std::unique_lock starting(record.stopLock);
  SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandler(kServiceName, controlHandler);
  if (!handle) return;
  {
    std::lock_guard guard(record.statusLock);
    record.statusHandle = handle;
  }
  report(SERVICE_START_PENDING, 1);
  record.stopEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  report(SERVICE_START_PENDING, 2);
  record.startTime = std::time(nullptr);
  record.workers = std::make_unique<Workers>(timingFromEnvironment(), record.startTime, pipeGroup(), pipeFailed);
  if (!record.stopEvent || !record.workers->pollingThread.start()) {
    DWORD error = record.stopEvent ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    record.stopped = true;
    record.workers.reset();
    report(SERVICE_STOPPED, 0, error ? error : ERROR_SERVICE_NO_THREAD);
    return;
  }
  report(SERVICE_RUNNING, 0);
  starting.unlock();
  WaitForSingleObject(record.stopEvent, INFINITE);
  stopService();
}

void WINAPI controlHandler(DWORD control) {
  switch (control) {
    case SERVICE_CONTROL_STOP: stopService(); break;
    case SERVICE_CONTROL_INTERROGATE: reportAgain(); break;
    default: break;
  }
}

}  // namespace pollhost
