// The library's state and the frame every call runs in.
//
// POSIX has no process-attach hook: the first call of any thread starts
// the library (once, whichever threads race to it): it makes the lock and
// the state and starts netmgr. Each thread's last error lives in
// thread-local storage that exists from the thread's first call, so no
// thread is ever without its error slot and 298 is never reported. 299 is
// reported when the state could not be made, and after the library was
// shut down at process exit (calls from other threads or exit handlers
// that come later get 299 instead of touching freed state).
#pragma once

#include "loaded_module.h"
#include "mib_tree.h"

#include "wsm.h"

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace modbase {

struct Library {
  std::vector<std::unique_ptr<LoadedModule>> loaded;  // load order
  std::optional<std::vector<std::string>> registered;  // identities, once read
  // Declared after the modules so that it goes first: its nodes point at
  // their definitions.
  MibTree tree;

  // The loaded module of this identity, or null; `position` gets its index.
  LoadedModule* findLoaded(const char* identity, size_t* position = nullptr) const;
};

// Clears the thread's error, starts the library on first use and holds the
// process-wide lock for the call's lifetime.
class WsmCall {
 public:
  WsmCall();
  ~WsmCall();
  WsmCall(const WsmCall&) = delete;
  WsmCall& operator=(const WsmCall&) = delete;

  // The running library, or null with error 299.
  Library* library();
  // Records `code` and returns failure (0).
  BOOL fail(DWORD code);

 private:
  bool locked_ = false;
};

DWORD lastErrorOfThread();

// Runs `body(call, library)` inside a call frame; memory exhaustion
// anywhere inside becomes error 293.
template <class Result, class Body>
Result runCall(Result failure, Body body) {
  WsmCall call;
  Library* library = call.library();
  if (!library) return failure;
  try {
    return body(call, *library);
  } catch (const std::bad_alloc&) {
    call.fail(WSM_ERROR_OUT_OF_MEMORY);
    return failure;
  }
}

}  // namespace modbase
