// net-snmp's view of a MIB set, read from snmptranslate: every node's name
// and OID (-Tz), and for chosen OIDs the defining modules, access and
// status (-Td).
#pragma once

#include <map>
#include <string>
#include <vector>

struct PeerDetails {
  std::string name;
  std::vector<std::string> modules;
  std::string access;
  std::string status;
};

// OID text to name of every node snmptranslate -Tz lists; empty when the
// tool cannot run.
std::map<std::string, std::string> peerNodes(const std::string& folders);

// Details of each OID, keyed by OID text.
std::map<std::string, PeerDetails> peerDetails(const std::string& folders, const std::vector<std::string>& oids);

// The standard output of a shell command.
std::string commandOutput(const std::string& command);
