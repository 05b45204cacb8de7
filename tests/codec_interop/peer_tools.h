// Runs the peers' command-line tools (net-snmp's snmpget, snmpset,
// snmptrap; tshark) and collects what they print.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
  bool started = false;
  int exitCode = -1;
  std::string output;  // standard output only
};

// Runs `arguments` (the program is found on the search path) and waits
// for it to end; standard error is discarded. A tool that runs longer
// than `timeoutSeconds` is killed.
ToolRun runTool(const std::vector<std::string>& arguments, int timeoutSeconds = 30);

// True when `program` is on the search path.
bool toolAvailable(const std::string& program);
