// Which OIDs a run starts and ends with, and its first request.
#pragma once

#include "probe_settings.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace agentprobe {

using Oid = std::vector<uint32_t>;

enum class FirstRequest { get, getNext, set };

struct OidChoice {
  std::optional<Oid> start;  // the current OID the run begins with
  std::optional<Oid> end;    // no end: walk until the agent's MIB ends
  FirstRequest first = FirstRequest::getNext;
};

// The first OID after `oid` and everything below it: its last number
// increased by one, or, when that number is already the largest, the same
// for its parent. Nothing when no OID follows (every number the largest).
std::optional<Oid> firstAfterSubtree(Oid oid);

// The first rule of the choice table that applies, then the subtree rule
// of -b. `start` and `end` are the -s and -e OIDs, when given.
OidChoice chooseOids(const Settings& settings, const std::optional<Oid>& start, const std::optional<Oid>& end);

}  // namespace agentprobe
