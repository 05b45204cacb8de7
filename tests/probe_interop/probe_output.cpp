// Reading the probe's output back.
#include "probe_output.h"

#include "winsnmp.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

std::string hexBytes(const std::string& text) {
  std::string bytes;
  std::istringstream parts(text);
  std::string part;
  while (std::getline(parts, part, '.')) bytes += static_cast<char>(std::strtoul(part.c_str(), nullptr, 16));
  return bytes;
}

// "2 days 01h:02m:03s.04th" back into hundredths of a second.
int64_t ticksOf(const std::string& text) {
  unsigned days = 0, hours = 0, minutes = 0, seconds = 0, hundredths = 0;
  char word[8];
  std::sscanf(text.c_str(), "%u %7s %uh:%um:%us.%uth", &days, word, &hours, &minutes, &seconds, &hundredths);
  return ((((int64_t{days} * 24 + hours) * 60 + minutes) * 60 + seconds) * 100) + hundredths;
}

simagent::Value valueOf(const std::string& label, const std::string& text) {
  static const std::map<std::string, uint8_t> syntaxes = {
      {"(int,int32)", SNMP_SYNTAX_INT},     {"(bits)", SNMP_SYNTAX_BITS},         {"(octets)", SNMP_SYNTAX_OCTETS},
      {"(null)", SNMP_SYNTAX_NULL},         {"(oid)", SNMP_SYNTAX_OID},           {"(ipaddr)", SNMP_SYNTAX_IPADDR},
      {"(cntr32)", SNMP_SYNTAX_CNTR32},     {"(gauge32)", SNMP_SYNTAX_GAUGE32},   {"(timeticks)", SNMP_SYNTAX_TIMETICKS},
      {"(opaque)", SNMP_SYNTAX_OPAQUE},     {"(nsapaddr)", SNMP_SYNTAX_NSAPADDR}, {"(cntr64)", SNMP_SYNTAX_CNTR64},
      {"(uint32)", SNMP_SYNTAX_UINT32}};
  simagent::Value value;
  auto known = syntaxes.find(label);
  value.syntax = known == syntaxes.end() ? 0 : known->second;
  const std::string hexSuffix = " (hex)";
  bool hex = text.size() >= hexSuffix.size() && text.ends_with(hexSuffix);
  std::string shown = hex ? text.substr(0, text.size() - hexSuffix.size()) : text;
  switch (value.syntax) {
    case SNMP_SYNTAX_INT:
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_UINT32: value.number = std::strtoll(text.c_str(), nullptr, 10); break;
    case SNMP_SYNTAX_TIMETICKS: value.number = ticksOf(text); break;
    case SNMP_SYNTAX_CNTR64: {
      // Halves in hex over SNMPv1, a decimal number with -2.
      unsigned high = 0, low = 0;
      if (shown.find('.') == std::string::npos) {
        value.counter64 = std::strtoull(shown.c_str(), nullptr, 10);
      } else {
        std::sscanf(text.c_str(), "%x.%x", &high, &low);
        value.counter64 = (uint64_t{high} << 32) | low;
      }
      break;
    }
    case SNMP_SYNTAX_OCTETS:
      value.octets = hex ? hexBytes(shown) : shown == "(zero-length)" ? "" : shown;
      break;
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR: value.octets = hexBytes(shown); break;
    case SNMP_SYNTAX_IPADDR: {
      unsigned parts[4] = {};
      std::sscanf(text.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
      for (unsigned part : parts) value.octets += static_cast<char>(part);
      break;
    }
    case SNMP_SYNTAX_OID: {
      std::string dotted = text.rfind("(null-oid) ", 0) == 0 ? text.substr(11) : text;
      if (auto oid = simagent::oidFromText(dotted)) value.oid = *oid;
      break;
    }
    default: break;
  }
  return value;
}

}  // namespace

std::vector<simagent::VarBind> readProbeLines(const std::string& output) {
  std::vector<simagent::VarBind> bindings;
  std::istringstream lines(output);
  std::string line;
  const std::string separator = " **** ";
  std::string pendingLabel, pendingText;
  simagent::Oid pendingName;
  auto flush = [&] {
    if (!pendingName.empty()) bindings.push_back({pendingName, valueOf(pendingLabel, pendingText)});
    pendingName.clear();
  };
  while (std::getline(lines, line)) {
    size_t at = line.find(separator);
    auto name = at == std::string::npos ? std::nullopt : simagent::oidFromText(line.substr(0, at));
    if (!name) {
      // A string value with line breaks goes on over several lines.
      if (!pendingName.empty() && !line.empty() && line != "Finished.") pendingText += "\n" + line;
      continue;
    }
    flush();
    std::string rest = line.substr(at + separator.size());
    size_t blank = rest.find(' ');
    pendingName = *name;
    pendingLabel = rest.substr(0, blank);
    pendingText = blank == std::string::npos ? "" : rest.substr(blank + 1);
  }
  flush();
  return bindings;
}
