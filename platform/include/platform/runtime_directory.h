// The per-user folder for what lives only while programs run: the sockets
// of local pipes and published windows, and the pid and status files of
// services.
//
// $ORVANE_RUNTIME_DIR when set, else $XDG_RUNTIME_DIR/orvane, else
// /tmp/orvane-<uid>. The folder is made owner-only (0700) when it is
// created here; a folder under /tmp must already be the user's own and
// closed to everyone else, or it is refused (another user could have made
// it to catch the sockets).
#pragma once

#include "platform/export.h"

#include <string>

namespace platform {

// The folder, created if needed; empty when it cannot be made or is
// refused, with errno set.
PLATFORM_API std::string runtimeDirectory();

// The folder's path with `name` appended, or empty as above.
PLATFORM_API std::string runtimePath(const std::string& name);

}  // namespace platform
