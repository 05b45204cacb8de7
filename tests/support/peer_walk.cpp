// Reading snmpwalk's output for comparisons.
#include "peer_walk.h"

#include "background_process.h"
#include "walk_file.h"
#include "winsnmp.h"

#include <algorithm>
#include <sstream>

PeerWalk snmpwalk(uint16_t port, const std::vector<std::string>& extraOptions, const std::string& root) {
  return peerWalk("snmpwalk", port, extraOptions, root);
}

PeerWalk peerWalk(const std::string& program, uint16_t port, const std::vector<std::string>& extraOptions,
                  const std::string& root) {
  std::vector<std::string> arguments{program, "-v1", "-c", "public", "-On", "-t", "2"};
  arguments.insert(arguments.end(), extraOptions.begin(), extraOptions.end());
  arguments.push_back("127.0.0.1:" + std::to_string(port));
  arguments.push_back(root);
  std::string printed = runProgram(arguments, std::chrono::seconds(60), {"MIBS="}).output;
  PeerWalk peer;
  std::istringstream text(printed);
  simagent::loadWalk(text, peer.values, false);
  std::istringstream lines(printed);
  std::string line;
  while (std::getline(lines, line)) {
    size_t equals = line.find(" = ");
    if (line.empty() || line[0] != '.' || equals == std::string::npos) continue;
    // How snmpwalk says that an SNMPv2 agent's MIB ended, not a variable.
    if (line.compare(equals + 3, 23, "No more variables left ") == 0) continue;
    if (auto name = simagent::oidFromText(line.substr(0, equals))) peer.names.push_back(*name);
  }
  return peer;
}

bool changesOverTime(const simagent::VarBind& binding) {
  uint8_t syntax = binding.value.syntax;
  if (syntax == SNMP_SYNTAX_CNTR32 || syntax == SNMP_SYNTAX_CNTR64 || syntax == SNMP_SYNTAX_TIMETICKS ||
      syntax == SNMP_SYNTAX_GAUGE32) {
    return true;
  }
  static const simagent::Oid readings[] = {
      {1, 3, 6, 1, 2, 1, 25, 1, 2},        // hrSystemDate
      {1, 3, 6, 1, 2, 1, 25, 2, 3, 1, 5},  // hrStorageSize (buffers and cached memory grow and shrink)
      {1, 3, 6, 1, 2, 1, 25, 2, 3, 1, 6},  // hrStorageUsed
      {1, 3, 6, 1, 2, 1, 25, 3, 3, 1, 2},  // hrProcessorLoad
      {1, 3, 6, 1, 4, 1, 2021, 4},         // memory
      {1, 3, 6, 1, 4, 1, 2021, 9},         // disks
      {1, 3, 6, 1, 4, 1, 2021, 10},        // load averages
      {1, 3, 6, 1, 4, 1, 2021, 11},        // system statistics
      {1, 3, 6, 1, 4, 1, 2021, 100, 4},    // the agent's date
      {1, 3, 6, 1, 4, 1, 8072, 1, 5, 3, 1, 3},  // nsCacheStatus (a cache expires between two walks)
      {1, 3, 6, 1, 6, 3, 10, 2, 1, 3},     // snmpEngineTime
  };
  return std::any_of(std::begin(readings), std::end(readings), [&](const simagent::Oid& prefix) {
    return binding.name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), binding.name.begin());
  });
}
