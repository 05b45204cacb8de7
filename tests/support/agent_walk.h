// Walking an agent with GetNext requests through a session, notified by
// window message or by thread message, as applications do.
#pragma once

#include "mib_view.h"

#include <cstdint>
#include <string>
#include <vector>

enum class Notification { windowMessage, threadMessage };

struct WalkResult {
  std::vector<simagent::VarBind> bindings;
  std::string failure;  // empty when the walk reached the end of the MIB
};

// Walks the whole MIB of 127.0.0.1:`port` with `community`, one GetNext
// at a time, until the agent answers noSuchName.
WalkResult walkAgent(uint16_t port, const char* community, Notification notification);
