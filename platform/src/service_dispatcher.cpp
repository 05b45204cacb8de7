// The service side: the dispatcher that runs a service's main on a thread
// of its own and turns signals into controls for its handler on the
// dispatcher's thread, and the reporting of the service's status.
#include "platform/errors.h"
#include "platform/services.h"
#include "service_files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using namespace platform::detail;

namespace {

constexpr char kStartVariable[] = "ORVANE_SERVICE_START";
constexpr char kOwnerVariable[] = "ORVANE_SERVICE_OWNER_PID";
constexpr auto kMainEndPatience = std::chrono::seconds(5);
constexpr int kOwnerLookInterval = 1000;

// The one service this process runs.
struct RunningService {
  std::mutex lock;
  std::condition_variable mainEnded;
  std::string name;
  ServiceFiles files;
  LPHANDLER_FUNCTION handler = nullptr;
  bool stopRequested = false;  // a stop came before the handler was there
  bool reportedStopped = false;
  bool mainReturned = false;
  int wake = -1;  // eventfd: the service stopped or its main returned
};

std::atomic<RunningService*> running{nullptr};  // set while the dispatcher runs

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

void wakeDispatcher(RunningService& service) {
  uint64_t one = 1;
  (void)!::write(service.wake, &one, sizeof one);
}

const SERVICE_TABLE_ENTRYA* entryFor(const SERVICE_TABLE_ENTRYA* table, const std::string& name) {
  if (!table) return nullptr;
  int count = 0;
  for (const SERVICE_TABLE_ENTRYA* entry = table; entry->lpServiceName; ++entry, ++count) {
    if (name == entry->lpServiceName) return entry;
  }
  return count == 1 ? table : nullptr;
}

// A descriptor that becomes readable when the process ends, or -1.
int watchOwner(pid_t owner) { return static_cast<int>(::syscall(SYS_pidfd_open, owner, 0)); }

pid_t takeOwner() {
  const char* text = std::getenv(kOwnerVariable);
  pid_t owner = text ? static_cast<pid_t>(std::atol(text)) : 0;
  ::unsetenv(kOwnerVariable);
  return owner > 0 ? owner : 0;
}

// Hands a control to the handler, on this (the dispatcher's) thread.
void deliver(RunningService& service, DWORD control) {
  LPHANDLER_FUNCTION handler = nullptr;
  {
    std::lock_guard guard(service.lock);
    handler = service.handler;
    if (!handler && control == SERVICE_CONTROL_STOP) service.stopRequested = true;
  }
  if (handler) handler(control);
}

bool finished(RunningService& service) {
  std::lock_guard guard(service.lock);
  return service.reportedStopped || service.mainReturned;
}

// Waits for signals, the owner's end and the service's end; stop controls
// that came before the handler was registered are handed over once it is.
void dispatch(RunningService& service, int signals, pid_t owner) {
  int ownerWatch = owner ? watchOwner(owner) : -1;
  bool ownerGone = false;
  while (!finished(service)) {
    {
      std::unique_lock held(service.lock);
      if (service.stopRequested && service.handler) {
        service.stopRequested = false;
        held.unlock();
        deliver(service, SERVICE_CONTROL_STOP);
        continue;
      }
    }
    pollfd watched[3] = {{signals, POLLIN, 0}, {service.wake, POLLIN, 0}, {ownerWatch, POLLIN, 0}};
    int timeout = owner && ownerWatch < 0 && !ownerGone ? kOwnerLookInterval : -1;
    if (::poll(watched, 3, timeout) < 0 && errno != EINTR) break;
    uint64_t drained;
    if (watched[1].revents) (void)!::read(service.wake, &drained, sizeof drained);
    if (watched[0].revents) {
      signalfd_siginfo received{};
      if (::read(signals, &received, sizeof received) == sizeof received) {
        deliver(service, received.ssi_signo == SIGUSR1 ? SERVICE_CONTROL_INTERROGATE : SERVICE_CONTROL_STOP);
      }
    }
    bool ownerEnded = ownerWatch >= 0 ? watched[2].revents != 0 : owner && ::kill(owner, 0) != 0 && errno == ESRCH;
    if (ownerEnded && !ownerGone) {
      ownerGone = true;
      if (ownerWatch >= 0) ::close(ownerWatch);
      ownerWatch = -1;
      deliver(service, SERVICE_CONTROL_STOP);
    }
  }
  if (ownerWatch >= 0) ::close(ownerWatch);
}

// A service whose main returned without saying it stopped has ended all
// the same; say it for it.
void reportEnd(RunningService& service) {
  std::lock_guard guard(service.lock);
  if (service.reportedStopped) return;
  ReportedStatus reported;
  reported.pid = ::getpid();
  reported.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  reported.status.dwCurrentState = SERVICE_STOPPED;
  reported.status.dwWin32ExitCode = ERROR_PROCESS_ABORTED;
  writeReportedStatus(service.files, reported);
}

}  // namespace

BOOL StartServiceCtrlDispatcherA(const SERVICE_TABLE_ENTRYA* table) {
  const char* started = std::getenv(kStartVariable);
  if (!started || running) return fail(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT);
  std::string name = started;
  const SERVICE_TABLE_ENTRYA* entry = entryFor(table, name);
  if (!entry || !entry->lpServiceProc) return fail(ERROR_SERVICE_DOES_NOT_EXIST);
  ::unsetenv(kStartVariable);  // programs the service starts are not services
  pid_t owner = takeOwner();

  // On the heap: a main that does not return in time keeps it after the
  // dispatcher has returned, until the process ends.
  auto* service = new RunningService;
  service->name = name;
  DWORD error = locateServiceFiles(name, service->files);
  int lock = error ? -1 : lockServiceProcess(service->files);
  if (!error && lock < 0) error = errno == EAGAIN ? ERROR_SERVICE_ALREADY_RUNNING : platform::errorFromErrno(errno);
  if (error) {
    delete service;
    return fail(error);
  }

  // Blocked here, before the service's threads exist, so every one of
  // them inherits the mask and the signals arrive only through signalfd.
  sigset_t controls, previous;
  sigemptyset(&controls);
  sigaddset(&controls, SIGTERM);
  sigaddset(&controls, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &controls, &previous);
  int signals = ::signalfd(-1, &controls, SFD_CLOEXEC);
  service->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (signals < 0 || service->wake < 0) {
    error = platform::errorFromErrno(errno);
    if (signals >= 0) ::close(signals);
    if (service->wake >= 0) ::close(service->wake);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(lock);
    delete service;
    return fail(error);
  }
  running = service;

  std::thread main([service, entry] {
    char* arguments[] = {service->name.data(), nullptr};
    entry->lpServiceProc(1, arguments);
    std::lock_guard guard(service->lock);
    service->mainReturned = true;
    service->mainEnded.notify_all();
    wakeDispatcher(*service);
  });
  dispatch(*service, signals, owner);
  bool mainReturned = false;
  {
    std::unique_lock held(service->lock);
    mainReturned = service->mainEnded.wait_for(held, kMainEndPatience, [service] { return service->mainReturned; });
  }
  reportEnd(*service);
  ::close(signals);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ::close(lock);
  if (mainReturned) {
    main.join();
    running = nullptr;
    ::close(service->wake);
    delete service;
  } else {
    main.detach();
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

namespace platform {

bool startedByServiceManager() { return std::getenv(kStartVariable) != nullptr; }

}  // namespace platform

SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerA(LPCSTR name, LPHANDLER_FUNCTION handler) {
  RunningService* service = running;
  if (!service || !handler) {
    SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
    return nullptr;
  }
  (void)name;  // an own-process service has one name only
  {
    std::lock_guard guard(service->lock);
    service->handler = handler;
  }
  wakeDispatcher(*service);
  return reinterpret_cast<SERVICE_STATUS_HANDLE>(service);
}

BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status) {
  RunningService* service = running;
  if (!service || handle != reinterpret_cast<SERVICE_STATUS_HANDLE>(service)) return fail(ERROR_INVALID_HANDLE);
  if (!status) return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard guard(service->lock);
  ReportedStatus reported;
  reported.pid = ::getpid();
  reported.status = *status;
  if (!writeReportedStatus(service->files, reported)) return fail(platform::errorFromErrno(errno));
  if (status->dwCurrentState == SERVICE_STOPPED) {
    service->reportedStopped = true;
    wakeDispatcher(*service);
  }
  return TRUE;
}
