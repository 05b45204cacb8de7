// The kind of object that drives each of the service's threads: a new
// thread runs initialise, run and endThread in turn; stopThread asks it
// to end with WM_USER and, when it does not, ends it.
#pragma once

#include "platform/messages.h"
#include "platform/waits.h"

namespace pollhost {

class WorkerThread {
 public:
  virtual ~WorkerThread() = default;
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Creates the thread; false (with GetLastError) when it cannot be made.
  virtual bool start();
  virtual void stop();
  // The thread's last step.
  virtual void endThread() {}
  // The thread's first step.
  virtual void initialise() {}
  // The thread's body; returns when the thread is to end.
  virtual void run() = 0;
  // Posts WM_USER and waits up to 500 ms for the thread to end, `tries`
  // times; then ends it. The handle is closed either way.
  virtual void stopThread(int tries);

  DWORD threadId() const { return threadId_; }

 protected:
  static constexpr int kStopTries = 3;

 private:
  static DWORD WINAPI threadMain(LPVOID worker);

  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

}  // namespace pollhost
