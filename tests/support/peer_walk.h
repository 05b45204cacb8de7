// snmpwalk as the reference for whole-MIB walks: its output parsed into
// names and values, and the readings that change between two walks.
#pragma once

#include "mib_view.h"

#include <cstdint>
#include <string>
#include <vector>

struct PeerWalk {
  std::vector<simagent::Oid> names;  // every instance, in order
  simagent::MibView values;          // those whose value text reads as a value
};

// `snmpwalk -v1 -c public -On` of everything under `root` (the whole MIB
// unless told) at 127.0.0.1:`port`.
PeerWalk snmpwalk(uint16_t port, const std::vector<std::string>& extraOptions = {},
                  const std::string& root = ".1");
// The same with another net-snmp walker (snmpbulkwalk); a later -v in
// `extraOptions` replaces -v1.
PeerWalk peerWalk(const std::string& program, uint16_t port, const std::vector<std::string>& extraOptions = {},
                  const std::string& root = ".1");

// True for values that change between two walks a second apart: counters,
// clocks and gauges, and the machine's readings (dates, load, memory and
// storage in use, the engine's running time).
bool changesOverTime(const simagent::VarBind& binding);
