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
};

enum class ParseOutcome { run, usage };

// Reads the arguments after the program name. Options are letters after
// '-' or '/', case-insensitive, with their parameter attached. Usage is
// asked for by no arguments, an unknown letter or a malformed address.
ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings);

using consoleformat::parseAgentAddress;

}  // namespace agentprobe
