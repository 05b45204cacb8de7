// Threads started by the platform: a detached pthread that runs the start
// routine with its record adopted, and signals the record when it ends.
#include "messaging_teardown.h"
#include "platform/waits.h"
#include "thread_record.h"

#include <pthread.h>

namespace platform::detail {
namespace {

struct StartBlock {
  std::shared_ptr<ThreadRecord> record;
  LPTHREAD_START_ROUTINE start;
  LPVOID parameter;
};

void* runThread(void* argument) {
  std::unique_ptr<StartBlock> block(static_cast<StartBlock*>(argument));
  ThreadRecord& record = *block->record;
  adoptThreadRecord(block->record);
  record.waitWhileSuspended();
  DWORD exitCode = record.terminationRequested() ? 0 : block->start(block->parameter);
  // The queue and windows go before waiters learn that the thread ended.
  releaseCallingThreadMessaging();
  record.finish(exitCode);
  return nullptr;
}

bool startPosixThread(StartBlock* block, SIZE_T stackSize) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  size_t defaultSize = 0;
  pthread_attr_getstacksize(&attributes, &defaultSize);
  if (stackSize > defaultSize) pthread_attr_setstacksize(&attributes, stackSize);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  bool started = pthread_create(&thread, &attributes, runThread, block) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

std::shared_ptr<ThreadRecord> findThread(HANDLE handle) {
  return findHandleOf<ThreadRecord>(handle);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, DWORD* threadId) {
  if (!start) return nullptr;
  std::unique_ptr<StartBlock> block;
  try {
    block.reset(new StartBlock{std::make_shared<ThreadRecord>(allocateThreadId()), start, parameter});
  } catch (...) {
    return nullptr;
  }
  std::shared_ptr<ThreadRecord> record = block->record;
  if (!record->valid()) return nullptr;
  if (creationFlags & CREATE_SUSPENDED) record->startSuspended();
  HANDLE handle = addHandle(record);
  if (!handle) return nullptr;
  if (!startPosixThread(block.get(), stackSize)) {
    removeHandle(handle);
    return nullptr;
  }
  block.release();  // the thread owns it now
  if (threadId) *threadId = record->id();
  return handle;
}

DWORD GetCurrentThreadId() { return currentThreadRecord().id(); }

HANDLE GetCurrentThread() { return currentThreadPseudoHandle(); }

DWORD ResumeThread(HANDLE thread) {
  auto record = findThread(thread);
  return record ? record->resume() : static_cast<DWORD>(-1);
}

DWORD SuspendThread(HANDLE thread) {
  auto record = findThread(thread);
  if (!record || record.get() != &currentThreadRecord()) return static_cast<DWORD>(-1);
  return record->suspendCallingThread();
}

BOOL TerminateThread(HANDLE thread, DWORD exitCode) {
  auto record = findThread(thread);
  if (!record) return FALSE;
  record->requestTermination(exitCode);
  return TRUE;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  auto record = findThread(thread);
  if (!record || !exitCode) return FALSE;
  *exitCode = record->exitCode();
  return TRUE;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  auto record = findThread(thread);
  bool known = priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL ||
               (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST);
  if (!record || !known) return FALSE;
  record->setPriority(priority);
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  auto record = findThread(thread);
  return record ? record->priority() : THREAD_PRIORITY_ERROR_RETURN;
}
