// What tshark's SNMP dissector makes of each packet of a capture file,
// read from its detailed text view (tshark -r file -V).
#pragma once

#include <map>
#include <string>
#include <vector>

struct DissectedVarbind {
  std::string name;   // dotted OID
  std::string type;   // the word in "Value (Type)"
  std::string value;  // the text after "Value (Type): ", empty when there is none
  bool truncated = false;  // tshark showed only the start of a long value
};

struct DissectedPacket {
  bool snmp = false;       // the SNMP dissector took the packet
  bool malformed = false;  // tshark flagged it as malformed
  // The first value of each "name: value" line of the SNMP part, such as
  // "version", "community", "data", "request-id", "error-status",
  // "enterprise", "agent-addr", "generic-trap", "time-stamp".
  std::map<std::string, std::string> fields;
  std::vector<DissectedVarbind> varbinds;
  std::string text;  // the packet's whole detailed view, for messages

  // A field's value up to " (" when it has a parenthesised part, so
  // "1.3.6.1 (iso.3.6.1)" gives "1.3.6.1" and "noError (0)" gives
  // "noError".
  std::string field(const std::string& name) const;
  // The number in parentheses of "get-request (0)" or "version-1 (0)".
  std::string code(const std::string& name) const;
};

// Runs tshark on the file; empty when tshark cannot be run.
std::vector<DissectedPacket> dissect(const std::string& pcapPath);
