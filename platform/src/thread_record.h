// What the platform knows about one thread: its id, priority, suspension,
// cooperative termination and, for threads it started, its end. Threads
// the platform did not start (the main thread, std::thread) get a record
// on first use; their handle-less record is never signalled.
#pragma once

#include "handles.h"
#include "signal_flag.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <sys/types.h>

namespace platform::detail {

class ThreadRecord final : public Waitable {
 public:
  explicit ThreadRecord(DWORD id) noexcept : id_(id) {}

  bool valid() const noexcept { return ended_.valid() && termination_.valid(); }
  DWORD id() const noexcept { return id_; }

  // Signalled once the thread has ended.
  int descriptor() const noexcept override { return ended_.descriptor(); }
  bool acquire() noexcept override { return ended_.isSet(); }

  // Cooperative termination: readable once requested.
  int terminationDescriptor() const noexcept { return termination_.descriptor(); }
  bool terminationRequested() const noexcept { return termination_.isSet(); }
  void requestTermination(DWORD exitCode) noexcept;

  // Suspension: a count, as on Windows; the thread waits while it is not 0.
  void startSuspended() noexcept;
  DWORD resume() noexcept;
  DWORD suspendCallingThread() noexcept;
  void waitWhileSuspended() noexcept;

  // The kept priority, and the thread's kernel id once it runs.
  void setPriority(int priority) noexcept;
  int priority() const noexcept;
  void bindToCallingThread() noexcept;

  // Ends the record: the exit code is kept (unless a termination set one)
  // and waiters on the handle are released.
  void finish(DWORD exitCode) noexcept;
  DWORD exitCode() const noexcept;

 private:
  void applyPriorityLocked() noexcept;

  const DWORD id_;
  SignalFlag ended_;
  SignalFlag termination_;
  mutable std::mutex lock_;
  std::condition_variable resumed_;
  DWORD suspendCount_ = 0;
  int priority_ = 0;
  bool priorityChosen_ = false;
  pid_t kernelId_ = 0;
  bool terminated_ = false;
  bool finished_ = false;
  DWORD exitCode_ = 0;
};

DWORD allocateThreadId() noexcept;
// The calling thread's record, made on first use.
ThreadRecord& currentThreadRecord() noexcept;
std::shared_ptr<ThreadRecord> currentThreadRecordShared() noexcept;
// Makes `record` the calling thread's record (threads the platform starts).
void adoptThreadRecord(std::shared_ptr<ThreadRecord> record) noexcept;
HANDLE currentThreadPseudoHandle() noexcept;

}  // namespace platform::detail
