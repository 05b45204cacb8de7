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

// Dotted decimal through the started library's SnmpStrToOid.
std::optional<Oid> readOid(const std::string& text);

// The first rule of the choice table that applies, then the subtree rule
// of -b.
OidChoice chooseOids(const Settings& settings);

}  // namespace agentprobe
