// Reading agent addresses.
#include "agent_address.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace consoleformat {

bool parseAgentAddress(const std::string& text, std::string& normalised, uint16_t& port) {
  unsigned parts[4];
  unsigned portNumber = 161;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%n", &parts[0], &parts[1], &parts[2], &parts[3], &consumed) != 4) {
    return false;
  }
  for (unsigned part : parts) {
    if (part > 255) return false;
  }
  std::string rest = text.substr(static_cast<size_t>(consumed));
  for (size_t i = 0; i < static_cast<size_t>(consumed); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i])) && text[i] != '.') return false;
  }
  if (!rest.empty()) {
    char* end = nullptr;
    if (rest[0] != ':' || rest.size() == 1) return false;
    portNumber = static_cast<unsigned>(std::strtoul(rest.c_str() + 1, &end, 10));
    if (*end || portNumber == 0 || portNumber > 65535) return false;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
  normalised = buffer;
  port = static_cast<uint16_t>(portNumber);
  return true;
}

}  // namespace consoleformat
