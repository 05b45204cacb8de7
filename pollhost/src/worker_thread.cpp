// Starting and stopping the service's threads.
#include "worker_thread.h"

namespace pollhost {
namespace {

constexpr DWORD kStopWait = 500;
// After being ended, a thread still returns from its code; this long it
// is waited for before its handle is closed all the same.
constexpr DWORD kEndedWait = 5000;

}  // namespace

DWORD WINAPI WorkerThread::threadMain(LPVOID worker) {
  auto* self = static_cast<WorkerThread*>(worker);
  self->initialise();
  self->run();
  self->endThread();
  return 0;
}

bool WorkerThread::start() {
  thread_ = CreateThread(nullptr, 0, threadMain, this, 0, &threadId_);
  return thread_ != nullptr;
}

void WorkerThread::stop() { stopThread(kStopTries); }

// The thread's queue may not exist yet, so a failed post is simply tried
// again with the next round.
void WorkerThread::stopThread(int tries) {
  if (!thread_) return;
  bool ended = false;
  for (int round = 0; round < tries && !ended; ++round) {
    PostThreadMessage(threadId_, WM_USER, 0, 0);
    ended = WaitForSingleObject(thread_, kStopWait) == WAIT_OBJECT_0;
  }
  if (!ended) {
    TerminateThread(thread_, 1);
    WaitForSingleObject(thread_, kEndedWait);
  }
  CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace pollhost
