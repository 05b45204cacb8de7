// Reading agent data from the text that `snmpwalk -On` prints: one
// ".oid = TYPE: value" line per instance, strings possibly spanning lines.
#pragma once

#include "mib_view.h"

#include <istream>
#include <string>

namespace simagent {

struct WalkFileResult {
  size_t loaded = 0;
  size_t skipped = 0;       // lines of a type the agent cannot serve
  std::string firstError;   // the first skipped line, for the user
};

// Adds every instance of the walk text to `view`, writable when `writable`.
WalkFileResult loadWalk(std::istream& text, MibView& view, bool writable);

// One value as snmpwalk prints it after "= " (e.g. "INTEGER: up(1)");
// false when the text is not a value the agent can serve.
bool parseWalkValue(const std::string& text, Value& value);

}  // namespace simagent
