// Agent addresses as the console programs take them: "a.b.c.d", each
// number 0..255, optionally followed by ":port".
#pragma once

#include <cstdint>
#include <string>

namespace consoleformat {

// The address in the form "%u.%u.%u.%u" and its port (161 when none is
// given); false for any other text.
bool parseAgentAddress(const std::string& text, std::string& normalised, uint16_t& port);

}  // namespace consoleformat
