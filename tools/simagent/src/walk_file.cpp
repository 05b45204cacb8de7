// Parser for walk text as printed with numeric OIDs.
#include "walk_file.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace simagent {
namespace {

constexpr uint8_t kInteger = 0x02, kBits = 0x03, kOctets = 0x04, kOid = 0x06,
                  kIpAddress = 0x40, kCounter32 = 0x41, kGauge32 = 0x42, kTimeTicks = 0x43,
                  kCounter64 = 0x46, kUnsigned32 = 0x47;

std::string trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The first integer in the text: inside parentheses when there are any
// ("up(1)", "(211) 0:00:02.11"), else at the start.
bool firstNumber(const std::string& text, int64_t& number) {
  size_t open = text.find('(');
  std::string digits = open == std::string::npos ? text : text.substr(open + 1);
  const char* begin = digits.data();
  auto [end, error] = std::from_chars(begin, begin + digits.size(), number);
  return error == std::errc() && end != begin;
}

bool hexOctets(const std::string& text, std::string& octets) {
  size_t position = 0;
  while (position < text.size()) {
    while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) ++position;
    if (position + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[position])) ||
        !std::isxdigit(static_cast<unsigned char>(text[position + 1]))) {
      break;
    }
    octets += static_cast<char>(std::strtoul(text.substr(position, 2).c_str(), nullptr, 16));
    position += 2;
  }
  return true;
}

// A quoted string with backslash escapes, or the text as it stands.
std::string unquote(const std::string& text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
  std::string result;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && i + 2 < text.size()) ++i;
    result += text[i];
  }
  return result;
}

bool ipAddress(const std::string& text, std::string& octets, char separator, int base) {
  size_t position = 0;
  for (int part = 0; part < 4; ++part) {
    size_t end = part < 3 ? text.find(separator, position) : text.size();
    if (end == std::string::npos) return false;
    unsigned value = 0;
    auto result = std::from_chars(text.data() + position, text.data() + end, value, base);
    if (result.ec != std::errc() || value > 255) return false;
    octets += static_cast<char>(value);
    position = end + 1;
  }
  return true;
}

// True while a quoted string has not been closed yet (escaped quotes do
// not close it).
bool quoteOpen(const std::string& value) {
  size_t colon = value.find(": \"");
  if (colon == std::string::npos) return false;
  bool open = false;
  for (size_t i = colon + 2; i < value.size(); ++i) {
    if (value[i] == '\\') ++i;
    else if (value[i] == '"') open = !open;
  }
  return open;
}

}  // namespace

bool parseWalkValue(const std::string& raw, Value& value) {
  std::string text = trim(raw);
  value = Value{};
  if (text == "\"\"") {
    value.syntax = kOctets;
    return true;
  }
  if (text == "NULL") return true;
  size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  std::string type = text.substr(0, colon);
  std::string rest = trim(text.substr(colon + 1));
  int64_t number = 0;
  if (type == "STRING") {
    value.syntax = kOctets;
    value.octets = unquote(rest);
    return true;
  }
  if (type == "Hex-STRING") {
    value.syntax = kOctets;
    return hexOctets(rest, value.octets);
  }
  if (type == "BITS") {
    value.syntax = kBits;
    return hexOctets(rest, value.octets);
  }
  if (type == "OID") {
    auto oid = oidFromText(rest);
    if (!oid) return false;
    value.syntax = kOid;
    value.oid = *oid;
    return true;
  }
  if (type == "IpAddress" || type == "Network Address") {
    value.syntax = kIpAddress;
    return type == "IpAddress" ? ipAddress(rest, value.octets, '.', 10)
                               : ipAddress(rest, value.octets, ':', 16);
  }
  if (type == "Counter64") {
    value.syntax = kCounter64;
    auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value.counter64);
    return result.ec == std::errc();
  }
  struct NumericType {
    const char* name;
    uint8_t syntax;
    int64_t lowest, highest;
  } numeric[] = {{"INTEGER", kInteger, INT32_MIN, INT32_MAX}, {"Counter32", kCounter32, 0, UINT32_MAX},
                 {"Gauge32", kGauge32, 0, UINT32_MAX},        {"Timeticks", kTimeTicks, 0, UINT32_MAX},
                 {"UInteger32", kUnsigned32, 0, UINT32_MAX},  {"Unsigned32", kUnsigned32, 0, UINT32_MAX}};
  for (const NumericType& candidate : numeric) {
    if (type != candidate.name) continue;
    if (!firstNumber(rest, number) || number < candidate.lowest || number > candidate.highest) return false;
    value.syntax = candidate.syntax;
    value.number = number;
    return true;
  }
  return false;
}

WalkFileResult loadWalk(std::istream& text, MibView& view, bool writable) {
  WalkFileResult result;
  std::string line, pending;
  auto finish = [&](const std::string& entry) {
    size_t equals = entry.find(" = ");
    auto name = equals == std::string::npos ? std::nullopt : oidFromText(trim(entry.substr(0, equals)));
    Value value;
    if (name && parseWalkValue(entry.substr(equals + 3), value)) {
      view.put(*name, value, writable);
      ++result.loaded;
    } else {
      if (result.skipped++ == 0) result.firstError = entry;
    }
  };
  while (std::getline(text, line)) {
    // A line that does not start a new instance continues the last one
    // (strings with line breaks, long hex strings).
    if (!pending.empty() && (line.empty() || line[0] != '.' || quoteOpen(pending))) {
      pending += (quoteOpen(pending) ? "\n" : " ") + line;
      continue;
    }
    if (!pending.empty()) finish(pending);
    pending = trim(line).empty() ? "" : line;
  }
  if (!pending.empty()) finish(pending);
  return result;
}

}  // namespace simagent
