// Thread records: ids, suspension, termination requests and priorities.
#include "thread_record.h"
#include "fast_tls.h"

#include "platform/waits.h"

#include <atomic>
#include <sys/resource.h>
#include <unistd.h>

namespace platform::detail {
namespace {

std::atomic<DWORD> nextThreadId{0x400};

PLATFORM_FAST_TLS thread_local std::shared_ptr<ThreadRecord> callingThreadRecord;

// The nice value that comes closest to a Windows thread priority.
int niceValueFor(int priority) {
  if (priority >= THREAD_PRIORITY_TIME_CRITICAL) return -20;
  if (priority <= THREAD_PRIORITY_IDLE) return 19;
  return -5 * priority;  // -2..2 gives 10..-10
}

}  // namespace

void ThreadRecord::requestTermination(DWORD exitCode) noexcept {
  {
    std::lock_guard guard(lock_);
    if (finished_) return;
    terminated_ = true;
    exitCode_ = exitCode;
  }
  termination_.set();
  resumed_.notify_all();
}

void ThreadRecord::startSuspended() noexcept {
  std::lock_guard guard(lock_);
  suspendCount_ = 1;
}

DWORD ThreadRecord::resume() noexcept {
  std::lock_guard guard(lock_);
  DWORD previous = suspendCount_;
  if (suspendCount_ > 0 && --suspendCount_ == 0) resumed_.notify_all();
  return previous;
}

DWORD ThreadRecord::suspendCallingThread() noexcept {
  DWORD previous;
  {
    std::lock_guard guard(lock_);
    previous = suspendCount_++;
  }
  waitWhileSuspended();
  return previous;
}

void ThreadRecord::waitWhileSuspended() noexcept {
  std::unique_lock guard(lock_);
  resumed_.wait(guard, [this] { return suspendCount_ == 0 || terminated_; });
}

void ThreadRecord::setPriority(int priority) noexcept {
  std::lock_guard guard(lock_);
  priority_ = priority;
  priorityChosen_ = true;
  applyPriorityLocked();
}

int ThreadRecord::priority() const noexcept {
  std::lock_guard guard(lock_);
  return priority_;
}

void ThreadRecord::bindToCallingThread() noexcept {
  std::lock_guard guard(lock_);
  kernelId_ = gettid();
  applyPriorityLocked();
}

// The scheduler may refuse (raising needs privileges); the kept value stays.
// A thread nobody gave a priority keeps the scheduling it inherited.
void ThreadRecord::applyPriorityLocked() noexcept {
  if (kernelId_ != 0 && priorityChosen_) setpriority(PRIO_PROCESS, static_cast<id_t>(kernelId_), niceValueFor(priority_));
}

void ThreadRecord::finish(DWORD exitCode) noexcept {
  {
    std::lock_guard guard(lock_);
    finished_ = true;
    if (!terminated_) exitCode_ = exitCode;
  }
  ended_.set();
}

DWORD ThreadRecord::exitCode() const noexcept {
  std::lock_guard guard(lock_);
  return finished_ || terminated_ ? exitCode_ : STILL_ACTIVE;
}

DWORD allocateThreadId() noexcept { return nextThreadId.fetch_add(4); }

// Read without copying the pointer: a copy costs two atomic operations,
// and the record outlives every call on its own thread.
ThreadRecord& currentThreadRecord() noexcept {
  if (!callingThreadRecord) {
    // Without memory for a record the thread cannot take part at all.
    callingThreadRecord = std::make_shared<ThreadRecord>(allocateThreadId());
    callingThreadRecord->bindToCallingThread();
  }
  return *callingThreadRecord;
}

std::shared_ptr<ThreadRecord> currentThreadRecordShared() noexcept {
  currentThreadRecord();
  return callingThreadRecord;
}

void adoptThreadRecord(std::shared_ptr<ThreadRecord> record) noexcept {
  callingThreadRecord = std::move(record);
  callingThreadRecord->bindToCallingThread();
}

}  // namespace platform::detail
