// What a console program printed reaches its pipe or file also when it is
// interrupted. Standard output into a pipe is buffered in blocks, and the
// default action of Ctrl+C, SIGTERM or a hang-up ends the process without
// writing the buffer out.
#pragma once

#include "platform/export.h"

namespace platform {

// From now on Ctrl+C (SIGINT), SIGTERM and SIGHUP first flush standard
// output and standard error, then end the process as they would have. Call
// it first in main, before any thread starts: the signals are taken by a
// thread of its own, and every thread started later inherits their block.
// Programs started with CreateProcess get the default signal handling.
PLATFORM_API void flushOutputWhenInterrupted() noexcept;

}  // namespace platform
