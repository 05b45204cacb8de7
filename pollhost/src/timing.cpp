// Reading the timing overrides.
#include "timing.h"

#include <cerrno>
#include <cstdlib>

namespace pollhost {
namespace {

constexpr unsigned long kShortest = 10;
constexpr unsigned long kLongest = 86400000;

void override(const char* variable, DWORD& value) {
  const char* text = std::getenv(variable);
  if (!text || !*text) return;
  char* end = nullptr;
  errno = 0;
  unsigned long number = std::strtoul(text, &end, 10);
  if (errno || *end || text[0] == '-' || number < kShortest || number > kLongest) return;
  value = static_cast<DWORD>(number);
}

}  // namespace

Timing timingFromEnvironment() {
  Timing timing;
  override("ORVANE_POLLHOST_INTERVAL", timing.pollingInterval);
  override("ORVANE_POLLHOST_STEP", timing.pollStep);
  return timing;
}

}  // namespace pollhost
