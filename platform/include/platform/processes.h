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

}  // namespace platform
