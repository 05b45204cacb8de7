// Command-line reading of the probe.
#include "probe_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace agentprobe {
namespace {

// A numeric option's parameter as a decimal integer (text that is not a
// number reads as 0), cut to lowest..highest. False for a negative number.
bool readNumber(const char* text, int lowest, int highest, int& number) {
  long long value = std::strtoll(text, nullptr, 10);  // saturates far out of range
  if (value < 0) return false;
  number = static_cast<int>(std::clamp<long long>(value, lowest, highest));
  return true;
}

// Applies one option; false for an unknown letter. A parameter that is
// refused leaves its message in `refusal`.
bool applyOption(char letter, const char* parameter, Settings& settings, std::string& refusal) {
  auto numeric = [&](int lowest, int highest, int& number) {
    if (!readNumber(parameter, lowest, highest, number) && refusal.empty()) {
      refusal = std::string("\nOption -") + letter + " does not take a negative value: " + parameter;
    }
  };
  switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'v': settings.printVersion = true; break;
    case 'c': settings.community = parameter; break;
    case 'r': numeric(0, kMostRetransmits, settings.retransmits); break;
    case 'u': numeric(kShortestTimeout, kLongestTimeout, settings.timeoutMilliseconds); break;
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
      settings.pingIntervalMilliseconds = 1000;
      if (*parameter) numeric(0, kLongestPingInterval, settings.pingIntervalMilliseconds);
      break;
    case '2': settings.snmpV2c = true; break;
    case 'g':
      settings.snmpV2c = true;
      settings.bulkRepetitions = kDefaultBulkRepetitions;
      if (*parameter) numeric(1, kMostBulkRepetitions, settings.bulkRepetitions);
      break;
    default: return false;
  }
  return true;
}

}  // namespace

ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings, std::string& refusal) {
  if (argc <= 1) return ParseOutcome::usage;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] == '-' || argument[0] == '/') {
      if (!applyOption(argument[1], argument[1] ? argument + 2 : argument + 1, settings, refusal)) {
        return ParseOutcome::usage;
      }
    } else if (!parseAgentAddress(argument, settings.agentAddress, settings.agentPort)) {
      return ParseOutcome::usage;
    }
  }
  if (refusal.empty() && settings.setValue && settings.startOid.empty()) {
    refusal = "\nOption -m needs the variable to set, given with -s.";
  }
  return refusal.empty() ? ParseOutcome::run : ParseOutcome::refused;
}

}  // namespace agentprobe
