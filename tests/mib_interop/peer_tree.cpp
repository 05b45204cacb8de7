#include "peer_tree.h"

#include <cstdio>
#include <memory>
#include <sstream>

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return output;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, got);
  return output;
}

std::map<std::string, std::string> peerNodes(const std::string& folders) {
  std::map<std::string, std::string> nodes;
  std::istringstream lines(commandOutput("snmptranslate -Tz -m ALL -M " + folders + " 2>/dev/null"));
  std::string line;
  while (std::getline(lines, line)) {
    // "name"\t\t\t"1.3.6.1"
    size_t nameEnd = line.find('"', 1);
    size_t oidStart = line.find('"', nameEnd + 1);
    size_t oidEnd = line.rfind('"');
    if (line.empty() || line[0] != '"' || nameEnd == std::string::npos || oidStart == std::string::npos ||
        oidEnd <= oidStart) {
      continue;
    }
    nodes[line.substr(oidStart + 1, oidEnd - oidStart - 1)] = line.substr(1, nameEnd - 1);
  }
  return nodes;
}

namespace {

std::vector<std::string> splitModules(const std::string& list) {
  std::vector<std::string> modules;
  std::istringstream words(list);
  std::string word;
  while (words >> word) {
    if (word.back() == ',') word.pop_back();
    modules.push_back(word);
  }
  return modules;
}

// The text after "  KEY\t" on a detail line, or empty.
std::string valueAfter(const std::string& line, const std::string& key) {
  std::string prefix = "  " + key + "\t";
  return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
}

}  // namespace

std::map<std::string, PeerDetails> peerDetails(const std::string& folders, const std::vector<std::string>& oids) {
  std::map<std::string, PeerDetails> details;
  std::string command = "snmptranslate -Td -On -m ALL -M " + folders;
  for (const std::string& oid : oids) command += " ." + oid;
  std::istringstream lines(commandOutput(command + " 2>/dev/null"));
  std::string line;
  size_t next = 0;
  PeerDetails* current = nullptr;
  while (std::getline(lines, line)) {
    // Each block starts with the OID given, printed numerically (-On).
    if (next < oids.size() && line == "." + oids[next]) {
      current = &details[oids[next++]];
      continue;
    }
    if (!current) continue;
    if (current->name.empty() && line.find(' ') != std::string::npos && line[0] != ' ') {
      current->name = line.substr(0, line.find(' '));
    } else if (std::string from = valueAfter(line, "-- FROM"); !from.empty()) {
      current->modules = splitModules(from);
    } else if (std::string access = valueAfter(line, "MAX-ACCESS"); !access.empty()) {
      current->access = access;
    } else if (std::string status = valueAfter(line, "STATUS"); !status.empty()) {
      current->status = status;
    }
  }
  return details;
}
