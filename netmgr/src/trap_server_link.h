// The link to the trap server program: finding its window (starting the
// program when there is none), registering a window of ours to receive
// its trap records, and unregistering.
#pragma once

#include "platform/messages.h"

#include <cstdint>

namespace netmgr {

struct TrapServerLink {
  HWND server = nullptr;
  UINT message = 0;          // the registered inter-application message
  LRESULT registration = 0;  // the server's identifier for our window
};

// Registers `receiver` with the trap server. Returns 0, or 102 when no
// server window appears or the server refuses.
[[nodiscard]] uint32_t joinTrapServer(HWND receiver, TrapServerLink& link);
// Tells the server to forget the registration (posted: nobody waits).
void leaveTrapServer(TrapServerLink& link);

// Test support: how often to look for a started server's window and how
// long to wait between looks (normally 501 and 100 ms); 0, 0 restores that.
void setTrapServerSearch(int looks, uint32_t pauseMilliseconds);

}  // namespace netmgr
