// Stopping a thread that follows udpwire's thread-message convention: it
// ends when it receives the quit message (a posted thread message without
// parameters).
#pragma once

#include "platform/win32_types.h"
#include "udpwire/export.h"

#define UDPWIRE_QUIT_MESSAGE 5684u
#define UDPWIRE_RESCAN_MESSAGE 5686u

extern "C" {

// Posts the quit message, resumes the thread and waits for it, up to 11
// times with waits of 100, 200, ... 1,100 ms. Returns 1 once the thread
// ended. Otherwise shows "Error while exiting thread <name>, h: <handle>
// id: <id>", terminates the thread (cooperatively, see platform/waits.h)
// and returns 0. Either way the handle is closed and the caller's
// priority restored.
UDPWIRE_API int destroyThread(DWORD threadId, HANDLE thread, const char* name);

}  // extern "C"

namespace udpwire {

// Test support: the first wait's length (normally 100 ms); later waits
// are multiples of it. 0 restores the normal schedule.
UDPWIRE_API void setDestroyThreadStep(DWORD milliseconds);

}  // namespace udpwire
