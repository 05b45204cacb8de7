// The probe's settings, read from its command line.
#pragma once

#include "agent_address.h"

#include <cstdint>
#include <string>

namespace agentprobe {

struct Settings {
  std::string agentAddress;      // normalised "%d.%d.%d.%d"; empty when none was given
  uint16_t agentPort = 161;
  std::string community = "vulpes";
  int retransmits = 1;
  int timeoutMilliseconds = 5000;
  bool printVersion = false;
  bool browseWholeTree = false;
  bool browseSystemInfo = false;
  bool browseSubtrees = false;
  bool resolveOidNames = true;
  bool resolveAgentName = false;
  bool printTypes = false;
  bool printLineNumbers = false;
  bool printParameters = false;
  bool pingUntilInterrupted = false;
  int pingIntervalMilliseconds = 1000;
  std::string startOid;          // as given with -s
  std::string endOid;            // as given with -e
  bool setValue = false;
  char setType = 0;              // the -m type letter
  std::string setText;           // the -m value text
  bool snmpV2c = false;          // -2, or implied by -g
  int bulkRepetitions = 0;       // -g: walk with GetBulk, this many per request; 0: GetNext
};

// Limits of the numeric options: a negative value is refused, and values
// beyond these are cut to them (the library counts timeouts in
// hundredths of a second, so a shorter timeout would be none).
constexpr int kMostRetransmits = 20;
constexpr int kShortestTimeout = 10;             // ms
constexpr int kLongestTimeout = 60000;           // ms
constexpr int kLongestPingInterval = 3600000;    // ms
constexpr int kDefaultBulkRepetitions = 10;
constexpr int kMostBulkRepetitions = 1000;

enum class ParseOutcome { run, usage, refused };

// Reads the arguments after the program name. Options are letters after
// '-' or '/', case-insensitive, with their parameter attached. Usage is
// asked for by no arguments, an unknown letter or a malformed address; a
// negative number or -m without -s is refused, with `refusal` saying why.
ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings, std::string& refusal);

using consoleformat::parseAgentAddress;

}  // namespace agentprobe
