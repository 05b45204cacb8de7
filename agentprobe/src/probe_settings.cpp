// Command-line reading of the probe.
#include "probe_settings.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace agentprobe {
namespace {

// Decimal integer as the probe reads numbers: text that is not a number
// gives 0.
int number(const char* text) { return static_cast<int>(std::strtol(text, nullptr, 10)); }

bool applyOption(char letter, const char* parameter, Settings& settings) {
  switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'v': settings.printVersion = true; break;
    case 'c': settings.community = parameter; break;
    case 'r': settings.retransmits = number(parameter); break;
    case 'u': settings.timeoutMilliseconds = number(parameter); break;
    case 'f': settings.browseWholeTree = true; break;
    case 'b': settings.browseSubtrees = true; break;
    case 'i': settings.browseSystemInfo = true; break;
    case 'o': settings.resolveOidNames = false; break;
    case 'a': settings.resolveAgentName = true; break;
    case 's': settings.startOid = parameter; break;
    case 'e': settings.endOid = parameter; break;
    case 'l': settings.printLineNumbers = true; break;
    case 't': settings.printTypes = true; break;
    case 'p': settings.printParameters = true; break;
    case 'm':
      settings.setValue = true;
      settings.setType = parameter[0];
      settings.setText = parameter[0] ? parameter + 1 : "";
      break;
    case 'd':
      settings.pingUntilInterrupted = true;
      settings.pingIntervalMilliseconds = *parameter ? number(parameter) : 1000;
      break;
    default: return false;
  }
  return true;
}

}  // namespace

ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings) {
  if (argc <= 1) return ParseOutcome::usage;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] == '-' || argument[0] == '/') {
      if (!applyOption(argument[1], argument[1] ? argument + 2 : argument + 1, settings)) return ParseOutcome::usage;
    } else if (!parseAgentAddress(argument, settings.agentAddress, settings.agentPort)) {
      return ParseOutcome::usage;
    }
  }
  return ParseOutcome::run;
}

}  // namespace agentprobe
