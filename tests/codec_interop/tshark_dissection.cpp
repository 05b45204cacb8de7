#include "tshark_dissection.h"

#include "peer_tools.h"

#include <sstream>
#include <string_view>

namespace {

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first);
}

// "Value (Counter32): 42" -> type Counter32, value 42; "Value (Null)" ->
// type Null; "Value (OctetString) [truncated]: ..." -> the value's start.
DissectedVarbind valueLine(const std::string& line, const std::string& name) {
  DissectedVarbind varbind{name, "", ""};
  size_t open = line.find('('), close = line.find(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    varbind.type = line.substr(open + 1, close - open - 1);
    constexpr std::string_view kTruncated = " [truncated]";
    varbind.truncated = line.compare(close + 1, kTruncated.size(), kTruncated) == 0;
    size_t valueAt = close + 1 + (varbind.truncated ? kTruncated.size() : 0);
    if (line.compare(valueAt, 2, ": ") == 0) varbind.value = line.substr(valueAt + 2);
    // An OID value carries its symbolic form in parentheses.
    if (varbind.type == "OID") varbind.value = varbind.value.substr(0, varbind.value.find(" ("));
  }
  return varbind;
}

void readLine(const std::string& raw, DissectedPacket& packet, std::string& pendingName) {
  std::string line = trimmed(raw);
  if (line.find("Malformed") != std::string::npos) packet.malformed = true;
  if (line == "Simple Network Management Protocol") packet.snmp = true;
  if (!packet.snmp) return;
  if (line.rfind("Object Name: ", 0) == 0) {
    pendingName = line.substr(13, line.find(' ', 13) - 13);
    return;
  }
  if (!pendingName.empty()) {
    // A value line, or a bare exception word such as "noSuchObject".
    DissectedVarbind varbind{pendingName, line, ""};
    if (line.rfind("Value (", 0) == 0) varbind = valueLine(line, pendingName);
    packet.varbinds.push_back(varbind);
    pendingName.clear();
    return;
  }
  size_t colon = line.find(": ");
  if (colon != std::string::npos && line.find(' ') >= colon) {
    packet.fields.emplace(line.substr(0, colon), line.substr(colon + 2));
  }
}

}  // namespace

std::string DissectedPacket::field(const std::string& name) const {
  auto found = fields.find(name);
  if (found == fields.end()) return "<missing>";
  return found->second.substr(0, found->second.find(" ("));
}

std::string DissectedPacket::code(const std::string& name) const {
  auto found = fields.find(name);
  if (found == fields.end()) return "<missing>";
  size_t open = found->second.rfind('('), close = found->second.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "<no code>";
  return found->second.substr(open + 1, close - open - 1);
}

std::vector<DissectedPacket> dissect(const std::string& pcapPath) {
  ToolRun run = runTool({"tshark", "-n", "-r", pcapPath, "-V"}, 120);
  std::vector<DissectedPacket> packets;
  std::istringstream lines(run.output);
  std::string line, pendingName;
  while (std::getline(lines, line)) {
    if (line.rfind("Frame ", 0) == 0) {
      packets.emplace_back();
      pendingName.clear();
    }
    if (packets.empty()) continue;
    packets.back().text += line + "\n";
    readLine(line, packets.back(), pendingName);
  }
  return packets;
}
