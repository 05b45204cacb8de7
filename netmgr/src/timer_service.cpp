// The timer thread.
#include "timer_service.h"

#include "platform/messages.h"
#include "platform/tick.h"
#include "platform/waits.h"
#include "udpwire/destroy_thread.h"

#include <atomic>
#include <mutex>

namespace netmgr {
namespace {

constexpr DWORD kStepMilliseconds = 100;
// An elapsed time this far off means the clock jumped: count one second.
constexpr uint64_t kLongestStep = 10000;
constexpr uint32_t kJumpedStep = 1000;
// The thread keeps stepping this long after the list emptied, so that a
// program sending request after request does not wake it for each one.
constexpr uint64_t kIdleBeforeSleep = 1000;

struct TimerThread {
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HANDLE wake = nullptr;     // auto reset: an entry was added to an empty list
  HANDLE started = nullptr;  // manual reset: the thread has its queue
  std::atomic<bool> sleeping{false};  // waiting without a time limit
};

TimerList timerList;
TimerThread timerThread;
std::mutex callbackLock;

// Runs the callbacks of the entries that fell due, one at a time, without
// the list's lock.
void runDue(uint32_t elapsed) {
  std::lock_guard guard(callbackLock);
  TimerList::consume(timerList.takeDue(elapsed), [](TimerEntry& entry) { entry.task.run(entry.task.argument); });
}

// True when the quit message arrived.
bool drainMessages() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == UDPWIRE_QUIT_MESSAGE) return true;
  }
  return false;
}

// Waits for the next step: 100 ms while entries are pending or were
// lately, without a limit otherwise. True when the thread must end.
bool waitForStep(uint64_t& previousStep, uint64_t& lastBusy) {
  DWORD wait = kStepMilliseconds;
  if (timerList.empty() && GetTickCount64() - lastBusy >= kIdleBeforeSleep) {
    timerThread.sleeping.store(true);
    // An entry added before the flag was seen set must not be slept over.
    if (timerList.empty()) wait = INFINITE;
    else timerThread.sleeping.store(false);
  }
  DWORD woken = MsgWaitForMultipleObjects(1, &timerThread.wake, FALSE, wait, QS_ALLPOSTMESSAGE);
  timerThread.sleeping.store(false);
  if (woken == WAIT_FAILED || drainMessages()) return true;
  if (wait == INFINITE) previousStep = lastBusy = GetTickCount64();  // the clock restarts
  return false;
}

DWORD WINAPI timerThreadMain(LPVOID) {
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);  // make the queue
  SetEvent(timerThread.started);
  uint64_t previousStep = GetTickCount64(), lastBusy = 0;
  while (!waitForStep(previousStep, lastBusy)) {
    uint64_t now = GetTickCount64();
    uint64_t elapsed = now - previousStep;
    previousStep = now;
    if (!timerList.empty()) lastBusy = now;
    runDue(elapsed > kLongestStep ? kJumpedStep : static_cast<uint32_t>(elapsed));
  }
  return 0;
}

}  // namespace

TimerList& timers() { return timerList; }

uint32_t addTimer(uint32_t delay, const TimerTask& task, const void* entityKey, const Session* session,
                  int32_t requestId, uint8_t version) {
  bool wasEmpty = false;
  if (uint32_t error = timerList.add(delay, task, entityKey, session, requestId, version, wasEmpty)) return error;
  if (timerThread.sleeping.exchange(false) && timerThread.wake) SetEvent(timerThread.wake);
  return 0;
}

void waitForRunningCallbacks() { std::lock_guard guard(callbackLock); }

uint32_t startTimerThread() {
  timerThread.wake = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  timerThread.started = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (timerThread.wake && timerThread.started) {
    timerThread.thread = CreateThread(nullptr, 0, timerThreadMain, nullptr, 0, &timerThread.threadId);
  }
  if (!timerThread.thread) {
    stopTimerThread();
    return SNMPAPI_ALLOC_ERROR;
  }
  WaitForSingleObject(timerThread.started, INFINITE);
  return 0;
}

void stopTimerThread() {
  if (timerThread.thread) destroyThread(timerThread.threadId, timerThread.thread, "SNMP Timer Thread");
  TimerList::consume(timerList.clear(), [](TimerEntry& entry) {
    if (entry.task.discard) entry.task.discard(entry.task.argument);
  });
  if (timerThread.wake) CloseHandle(timerThread.wake);
  if (timerThread.started) CloseHandle(timerThread.started);
  timerThread.thread = timerThread.wake = timerThread.started = nullptr;
  timerThread.threadId = 0;
  timerThread.sleeping.store(false);
}

}  // namespace netmgr
