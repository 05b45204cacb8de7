// Running other programs.
#pragma once

#include "platform/export.h"

#include <string>
#include <vector>

namespace platform {

// Runs the program (found through the search path unless the name holds
// a slash) with the arguments after it, sharing this process's standard
// streams and environment, and waits for its end. Its exit status, or -1
// with errno set when it could not be started or did not exit normally.
PLATFORM_API int runProgramToEnd(const std::vector<std::string>& arguments);

// The absolute path of the file the running program was started from,
// or empty when it cannot be told.
PLATFORM_API std::string programFile();

}  // namespace platform
