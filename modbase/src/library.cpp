// Library start on first use, the process-wide lock, per-thread errors and
// the shutdown at process exit.
#include "library.h"

#include "platform/sync.h"

#include <cstring>
#include <mutex>

namespace modbase {
namespace {

std::once_flag startOnce;
// Made once and never freed, so that calls arriving during process exit
// still find a lock to wait on.
CRITICAL_SECTION* libraryLock = nullptr;
Library* state = nullptr;  // guarded by libraryLock
thread_local DWORD lastError = 0;

void start() {
  libraryLock = new (std::nothrow) CRITICAL_SECTION;
  if (!libraryLock) return;
  InitializeCriticalSection(libraryLock);
  state = new (std::nothrow) Library;
  // The library's own OID copies need netmgr started; its result does not
  // matter here, a failed start shows when a copy fails.
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
}

// Frees the loaded modules when the process ends (or the library is
// unloaded); later calls report 299.
struct ShutdownAtExit {
  ~ShutdownAtExit() {
    if (!libraryLock) return;
    EnterCriticalSection(libraryLock);
    delete state;
    state = nullptr;
    LeaveCriticalSection(libraryLock);
  }
} shutdownAtExit;

}  // namespace

LoadedModule* Library::findLoaded(const char* identity, size_t* position) const {
  if (!identity) return nullptr;
  for (size_t index = 0; index < loaded.size(); ++index) {
    if (loaded[index]->entry.identity == identity) {
      if (position) *position = index;
      return loaded[index].get();
    }
  }
  return nullptr;
}

WsmCall::WsmCall() {
  lastError = 0;
  std::call_once(startOnce, start);
  if (libraryLock) {
    EnterCriticalSection(libraryLock);
    locked_ = true;
  }
}

WsmCall::~WsmCall() {
  if (locked_) LeaveCriticalSection(libraryLock);
}

Library* WsmCall::library() {
  if (!state) lastError = WSM_ERROR_NOT_INITIALIZED;
  return state;
}

BOOL WsmCall::fail(DWORD code) {
  lastError = code;
  return FALSE;
}

DWORD lastErrorOfThread() { return lastError; }

}  // namespace modbase
