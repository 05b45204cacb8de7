// The agent's UDP loop: receive, answer (now or later, from the asked port
// or another one), until told to stop.
#pragma once

#include "agent.h"

#include <atomic>

namespace simagent {

// Serves until `stop` becomes true. Returns the process exit status.
int serve(Agent& agent, const Options& options, const std::atomic<bool>& stop);

}  // namespace simagent
