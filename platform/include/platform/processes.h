// Starting programs by name.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#include <string>
#include <vector>

namespace platform {

// Starts the program `commandLine[0]`, found through the search path, with
// the rest as its arguments, and returns without waiting for it. The
// program runs on its own, as a program the desktop started would: in a
// session of its own, with its standard streams on /dev/null, outliving
// the caller, and nobody's child to wait for. FALSE when it cannot be
// started (not found, not executable, out of processes).
PLATFORM_API BOOL startProgram(const std::vector<std::string>& commandLine);

// Runs the program (found through the search path unless the name holds
// a slash) with the arguments after it, sharing this process's standard
// streams and environment, and waits for its end. Its exit status, or -1
// with errno set when it could not be started or did not exit normally.
PLATFORM_API int runProgramToEnd(const std::vector<std::string>& arguments);

// The absolute path of the file the running program was started from,
// or empty when it cannot be told.
PLATFORM_API std::string programFile();

}  // namespace platform
