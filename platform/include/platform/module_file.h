// The file a library or program was loaded from, for messages that name it.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#include <string>

namespace platform {

// Writes the path of the file holding `addressInModule` (any function of
// it) into buffer, cut to fit and terminated. Returns its length, 0 when
// the address belongs to no loaded file.
PLATFORM_API DWORD moduleFileName(const void* addressInModule, char* buffer, DWORD size);

// The absolute path of the file the running program was started from,
// or empty when it cannot be told.
PLATFORM_API std::string programFile();

}  // namespace platform
