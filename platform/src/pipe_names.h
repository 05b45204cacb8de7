// Where a local pipe's socket lives.
#pragma once

#include "platform/win32_types.h"

#include <string>

namespace platform::detail {

struct PipeLocation {
  std::string socketPath;  // the socket the server listens on
  std::string lockPath;    // held by the server while it lives
};

// Reads "\\.\pipe\NAME" (the word "pipe" in any case). Returns 0 and the
// location, or the error code: ERROR_INVALID_NAME for another form or a
// name with "/" or nothing, ERROR_BAD_NETPATH for another computer,
// ERROR_FILENAME_EXCED_RANGE when the socket path is too long, or the
// runtime folder's error.
DWORD locatePipe(const char* name, PipeLocation& location);

}  // namespace platform::detail
