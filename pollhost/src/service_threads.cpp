// The polling thread's start and message loop, and the pipe thread's wait.
#include "service_threads.h"

#include "platform/errors.h"

namespace pollhost {
namespace {

constexpr DWORD kOpenPatience = 30000;

}  // namespace

void PipeThread::stop() {
  stopThread(kStopTries);
  server_.close();
}

void PipeThread::run() {
  for (;;) {
    HANDLE event = server_.event();
    DWORD woken = MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) {
      if (!server_.serviceEvent()) {
        failed_(GetLastError());
        return;
      }
    } else if (woken == WAIT_OBJECT_0 + 1) {
      MSG message;
      while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_USER) return;
      }
    } else {
      return;
    }
  }
}

PollingThread::PollingThread(Poller& poller, PipeServer& server, const Timing& timing, std::string pipeGroup,
                             PipeFailure failed)
    : poller_(poller),
      server_(server),
      timing_(timing),
      pipeGroup_(std::move(pipeGroup)),
      failed_(failed),
      pipeThread_(server, failed) {}

PollingThread::~PollingThread() {
  if (opened_) CloseHandle(opened_);
}

bool PollingThread::start() {
  opened_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (!opened_ || !WorkerThread::start()) return false;
  if (WaitForSingleObject(opened_, kOpenPatience) != WAIT_OBJECT_0 || !sessionOpen_) {
    stopThread(kStopTries);
    SetLastError(ERROR_SERVICE_NO_THREAD);
    return false;
  }
  if (!server_.open(pipeGroup_)) {
    DWORD error = GetLastError();
    stopThread(kStopTries);
    SetLastError(error);
    return false;
  }
  if (!pipeThread_.start()) {
    server_.close();
    stopThread(kStopTries);
    SetLastError(ERROR_SERVICE_NO_THREAD);
    return false;
  }
  return true;
}

void PollingThread::stop() {
  pipeThread_.stop();
  stopThread(kStopTries);
}

// The queue exists before the session can post to it.
void PollingThread::initialise() {
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
}

void PollingThread::run() {
  sessionOpen_ = poller_.open(GetCurrentThreadId());
  SetEvent(opened_);
  if (sessionOpen_) {
    poller_.registerForTraps();
    runMessageLoop();
  }
  poller_.close();
}

void PollingThread::runMessageLoop() {
  UINT_PTR pollTimer = SetTimer(nullptr, 0, timing_.pollStep, nullptr);
  UINT_PTR watchdogTimer = SetTimer(nullptr, 0, timing_.watchdogStep, nullptr);
  MSG message;
  while (GetMessage(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_USER) break;
    if (message.message == kNotificationMessage) {
      poller_.notificationArrived();
    } else if (message.message == WM_TIMER && message.wParam == pollTimer) {
      poller_.step();
    } else if (message.message == WM_TIMER && message.wParam == watchdogTimer) {
      if (!server_.watchdog()) failed_(GetLastError());
    } else {
      DispatchMessage(&message);
    }
  }
  KillTimer(nullptr, pollTimer);
  KillTimer(nullptr, watchdogTimer);
}

}  // namespace pollhost
