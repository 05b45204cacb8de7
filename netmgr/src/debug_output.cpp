// Writing debug lines.
#include "debug_output.h"

#include "library.h"

#include <cstdarg>
#include <cstdio>

namespace netmgr {

void debugLine(const char* format, ...) {
  if (library().debugLevel.load() == 0) return;
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  std::fprintf(stderr, "netmgr: %s\n", text);
}

}  // namespace netmgr
