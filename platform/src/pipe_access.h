// Who may use a pipe: its owner, and the members of one group if its
// security says so.
#pragma once

#include "platform/pipes.h"

#include <sys/types.h>

namespace platform::detail {

struct PipeAccess {
  bool groupAllowed = false;
  gid_t group = 0;
};

// The access a pipe's security attributes ask for (owner-only when null).
// False for a descriptor that PipeSecurity did not make.
bool readPipeAccess(const SECURITY_ATTRIBUTES* security, PipeAccess& access);

// True when the process at the other end of the connected socket may use
// the pipe.
bool peerMayConnect(int socket, const PipeAccess& access);

}  // namespace platform::detail
