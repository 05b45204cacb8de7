// Critical sections on POSIX. The mutex is built and destroyed with the
// object that holds it (C++ construction), so InitializeCriticalSection and
// DeleteCriticalSection have nothing left to do; callers still call them
// where a Windows build needs them.
#include "platform/sync.h"

void InitializeCriticalSection(LPCRITICAL_SECTION) {}

void DeleteCriticalSection(LPCRITICAL_SECTION) {}

void EnterCriticalSection(LPCRITICAL_SECTION section) { section->mutex.lock(); }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { section->mutex.unlock(); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  return section->mutex.try_lock() ? TRUE : FALSE;
}
