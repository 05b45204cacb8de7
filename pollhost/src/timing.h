// How often the service polls and looks after its pipe. Tests and
// benchmarks shorten the polling interval and the poll timer's step
// through the environment; everything else keeps its fixed value.
#pragma once

#include "platform/win32_types.h"

namespace pollhost {

struct Timing {
  DWORD pollingInterval = 90000;  // milliseconds between two polls of an agent
  DWORD pollStep = 1000;          // milliseconds between the poll timer's steps
  DWORD watchdogStep = 5000;      // milliseconds between the pipe watchdog's looks
  DWORD pipeIdleLimit = 15;       // seconds a client may leave the pipe unchanged
};

// The fixed values, with ORVANE_POLLHOST_INTERVAL and ORVANE_POLLHOST_STEP
// (milliseconds, 10 to 86400000) applied when they are set and valid.
Timing timingFromEnvironment();

}  // namespace pollhost
