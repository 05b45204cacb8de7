// The service's two threads: the polling thread (the poller's session,
// its timers and the pipe watchdog) and the pipe thread (the control
// pipe's server).
#pragma once

#include "pipe_server.h"
#include "poller.h"
#include "timing.h"
#include "worker_thread.h"

#include <functional>
#include <string>

namespace pollhost {

// Called on the thread that found the pipe failed, with the error.
using PipeFailure = std::function<void(DWORD error)>;

class PipeThread : public WorkerThread {
 public:
  PipeThread(PipeServer& server, PipeFailure failed) : server_(server), failed_(std::move(failed)) {}
  // Stops the thread, then closes the pipe and its event.
  void stop() override;
  void run() override;

 private:
  PipeServer& server_;
  PipeFailure failed_;
};

class PollingThread : public WorkerThread {
 public:
  PollingThread(Poller& poller, PipeServer& server, const Timing& timing, std::string pipeGroup, PipeFailure failed);
  ~PollingThread() override;

  // Starts the polling thread and waits until its session is open, then
  // creates the control pipe and starts the pipe thread. False (with
  // GetLastError) when any of it fails; what was started is stopped.
  bool start() override;
  // Stops the pipe thread, then the polling thread.
  void stop() override;
  void initialise() override;
  void run() override;

 private:
  void runMessageLoop();

  Poller& poller_;
  PipeServer& server_;
  Timing timing_;
  std::string pipeGroup_;
  PipeFailure failed_;
  PipeThread pipeThread_;
  HANDLE opened_ = nullptr;  // set once the session is open, or failed to
  bool sessionOpen_ = false;
};

}  // namespace pollhost
