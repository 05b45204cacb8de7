// The folder for the user's runtime sockets and pid files.
#pragma once

#include "platform/export.h"

#include <string>

namespace platform {

// $ORVANE_RUNTIME_DIR when set, else $XDG_RUNTIME_DIR/orvane, else
// /tmp/orvane-<uid>; made (mode 0700) when missing. Empty when it cannot be
// made, or when it is not a folder of the user's own that no one else may
// enter: whatever lives in it trusts every process that can reach it.
PLATFORM_API std::string runtimeFolder();

}  // namespace platform
