// Reading the OID and value options.
#include "option_values.h"

#include <charconv>
#include <climits>

namespace agentprobe {
namespace {

struct SetType {
  char letter;
  smiUINT32 syntax;
  const char* name;  // "an IP address", as in "cannot be read as ..."
  long long lowest, highest;  // the range of a number syntax (both 0 for the others)
};

constexpr long long kHighestUnsigned = UINT32_MAX;

const SetType kSetTypes[] = {
    {'o', SNMP_SYNTAX_OCTETS, "an octet string", 0, 0},
    {'i', SNMP_SYNTAX_INT, "an integer from -2147483648 to 2147483647", INT32_MIN, INT32_MAX},
    {'d', SNMP_SYNTAX_OID, "an OID (dotted decimal numbers)", 0, 0},
    {'u', SNMP_SYNTAX_UINT32, "an unsigned integer from 0 to 4294967295", 0, kHighestUnsigned},
    {'g', SNMP_SYNTAX_GAUGE32, "a gauge from 0 to 4294967295", 0, kHighestUnsigned},
    {'t', SNMP_SYNTAX_TIMETICKS, "timeticks from 0 to 4294967295", 0, kHighestUnsigned},
    {'c', SNMP_SYNTAX_CNTR32, "a counter from 0 to 4294967295", 0, kHighestUnsigned},
    {'a', SNMP_SYNTAX_IPADDR, "an IP address (four decimal numbers separated by dots)", 0, 0},
    {'p', SNMP_SYNTAX_NSAPADDR, "an NSAP address (hex bytes separated by dots, such as 47.00.05)", 0, 0},
    {'b', SNMP_SYNTAX_BITS, "bits (four decimal numbers separated by dots)", 0, 0},
    {'n', SNMP_SYNTAX_NULL, "null", 0, 0},
};

// A whole decimal number within the type's range; a leading sign is
// allowed.
bool isNumberInRange(const std::string& text, const SetType& type) {
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* end = text.data() + text.size();
  long long number = 0;
  auto [stop, error] = std::from_chars(begin, end, number);
  return error == std::errc() && stop == end && begin != end && number >= type.lowest && number <= type.highest;
}

// A name with an optional module before "::" and an instance after the
// first dot.
std::optional<Oid> readNamedOid(const std::string& text, NameLookup lookUp) {
  size_t separator = text.find("::");
  std::string module = separator == std::string::npos ? "" : text.substr(0, separator);
  std::string rest = separator == std::string::npos ? text : text.substr(separator + 2);
  size_t dot = rest.find('.');
  Oid oid, instance;
  if (dot != std::string::npos && !consoleformat::readDottedOid(rest.c_str() + dot + 1, instance)) return std::nullopt;
  if (!lookUp || !lookUp(module, rest.substr(0, dot), oid)) return std::nullopt;
  if (oid.size() + instance.size() > consoleformat::kMaxOidLength) return std::nullopt;
  oid.insert(oid.end(), instance.begin(), instance.end());
  return oid;
}

std::optional<Oid> readOidOption(char letter, const std::string& text, NameLookup lookUp, std::string& problem) {
  if (text.empty()) return std::nullopt;
  std::optional<Oid> oid = readOidText(text, lookUp);
  if (!oid) {
    problem = std::string("\nOption -") + letter + ": \"" + text +
              "\" is neither a dotted OID nor a name the loaded MIB modules know.";
  }
  return oid;
}

}  // namespace

std::optional<Oid> readOidText(const std::string& text, NameLookup lookUp) {
  Oid oid;
  if (consoleformat::readDottedOid(text.c_str(), oid)) return oid;
  // A dotted instance alone (".0") is not a name.
  if (text.empty() || text[0] == '.') return std::nullopt;
  return readNamedOid(text, lookUp);
}

std::optional<consoleformat::OwnedValue> readSetValue(char letter, const std::string& text, std::string& problem) {
  for (const SetType& type : kSetTypes) {
    if (type.letter != letter) continue;
    bool isNumber = type.lowest != type.highest;
    std::optional<consoleformat::OwnedValue> value;
    if (!isNumber || isNumberInRange(text, type)) value = consoleformat::OwnedValue::read(text.c_str(), type.syntax);
    if (!value) problem = "\nOption -m: \"" + text + "\" cannot be read as " + type.name + ".";
    return value;
  }
  problem = letter ? std::string("\nOption -m: '") + letter + "' is not a type letter; use one of o i d u g t c a p b n."
                   : "\nOption -m needs a type letter and a value, such as -mi12.";
  return std::nullopt;
}

std::optional<OptionValues> readOptionValues(const Settings& settings, NameLookup lookUp, std::string& problem) {
  OptionValues values;
  values.start = readOidOption('s', settings.startOid, lookUp, problem);
  if (!problem.empty()) return std::nullopt;
  values.end = readOidOption('e', settings.endOid, lookUp, problem);
  if (!problem.empty()) return std::nullopt;
  if (settings.setValue) {
    std::optional<consoleformat::OwnedValue> value = readSetValue(settings.setType, settings.setText, problem);
    if (!value) return std::nullopt;
    values.setValue = std::move(*value);
  }
  return values;
}

}  // namespace agentprobe
