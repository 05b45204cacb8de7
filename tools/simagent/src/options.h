// The agent's command line.
#pragma once

#include "faults.h"
#include "live_system.h"

#include <cstdint>
#include <map>
#include <string>

namespace simagent {

struct Options {
  std::string address = "127.0.0.1";
  uint16_t port = 16161;
  std::map<std::string, bool> communities;  // name -> writable
  std::string walkFile;                     // empty: the live system
  SystemIdentity identity;
  FaultPlan faults;
  bool verbose = false;
  bool help = false;
};

// Parses the arguments; on a mistake returns false with a message.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);
const char* usageText();

}  // namespace simagent
