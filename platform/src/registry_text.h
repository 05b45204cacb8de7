// The text form of a hive file, meant to be read (and, with care, edited)
// by a person:
//
//   Orvane registry hive, format 1
//   @ = sz "a value of the hive's top key"
//
//   [SOFTWARE\Orvane\SMI Modules\Modules]
//   "1" = sz "SOFTWARE\\Orvane\\SMI Modules\\Modules\\RFC1213-MIB"
//   "Count" = dword 0x00000010
//   "List" = multi_sz "first" "second"
//   "EditFlags" = binary hex 00 00 01 00
//
// A key line names the full path from the hive's top; values follow their
// key line, in order. `@` is the default value. Quoted text escapes only
// the backslash, the quote and control bytes (\xHH). Data that is not
// well-formed for its type (a string without its zero, a dword of other
// than four bytes) is written as `hex` bytes so that it reads back exactly.
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include "registry_hive.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::registry {

std::string formatHive(const Key& root);

struct ParseResult {
  enum class Status { ok, foreign, corrupt };
  Status status = Status::ok;
  size_t line = 0;  // where the problem is (1-based)
  std::string problem;
};

// Fills the empty `root` from `text`. A text without the first line of a
// hive is foreign; any other fault is corrupt, with its line.
[[nodiscard]] ParseResult parseHive(std::string_view text, Key& root);

}  // namespace platform::registry
