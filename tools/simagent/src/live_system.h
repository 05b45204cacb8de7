// The live data of the machine the agent runs on: the system group and the
// interfaces table, read from /proc and /sys.
#pragma once

#include "mib_view.h"

#include <string>

namespace simagent {

struct SystemIdentity {
  std::string contact = "root@localhost";
  std::string location = "simulated agent";
};

// Fills `view` with the system group (sysContact, sysName and sysLocation
// writable) and one ifTable row per interface of /proc/net/dev.
void loadLiveSystem(MibView& view, const SystemIdentity& identity);

// Hundredths of a second since the machine started.
uint32_t systemUptimeTicks();

}  // namespace simagent
