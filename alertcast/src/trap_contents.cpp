// Reading the trap's contents.
#include "trap_contents.h"

#include <climits>
#include <cstdio>

namespace alertcast {
namespace {

struct TypeLetter {
  char letter;
  smiUINT32 syntax;
  const char* name;           // as in "cannot be read as ..."
  long long lowest, highest;  // the range of a number type (both 0 for the others)
};

constexpr long long kHighestUnsigned = UINT32_MAX;

// 'u' sends an INTEGER holding the unsigned number's 32 bits.
const TypeLetter kTypeLetters[] = {
    {'o', SNMP_SYNTAX_OCTETS, "an octet string", 0, 0},
    {'i', SNMP_SYNTAX_INT, "an integer from -2147483648 to 2147483647", INT32_MIN, INT32_MAX},
    {'u', SNMP_SYNTAX_INT, "an unsigned integer from 0 to 4294967295", 0, kHighestUnsigned},
    {'d', SNMP_SYNTAX_OID, "an OID (dotted decimal numbers)", 0, 0},
    {'g', SNMP_SYNTAX_GAUGE32, "a gauge from 0 to 4294967295", 0, kHighestUnsigned},
    {'t', SNMP_SYNTAX_TIMETICKS, "timeticks from 0 to 4294967295", 0, kHighestUnsigned},
    {'c', SNMP_SYNTAX_CNTR32, "a counter from 0 to 4294967295", 0, kHighestUnsigned},
    {'a', SNMP_SYNTAX_IPADDR, "an IP address (four decimal numbers separated by dots)", 0, 0},
    {'p', SNMP_SYNTAX_NSAPADDR, "an NSAP address (hex bytes separated by dots, such as 47.00.05)", 0, 0},
    {'b', SNMP_SYNTAX_BITS, "bits (four decimal numbers separated by dots)", 0, 0},
    {'n', SNMP_SYNTAX_NULL, "null", 0, 0},
};

std::string bindingName(int number) { return "binding #" + std::to_string(number); }

}  // namespace

void readAgentAddress(const std::string& text, smiBYTE (&address)[4]) {
  unsigned parts[4];
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) {
    for (smiBYTE& octet : address) octet = 0;
    return;
  }
  for (int i = 0; i < 4; ++i) address[i] = static_cast<smiBYTE>(parts[i] & 0xFF);
}

std::optional<consoleformat::OwnedValue> readValue(char letter, const std::string& text, std::string& problem) {
  for (const TypeLetter& type : kTypeLetters) {
    if (type.letter != letter) continue;
    bool isNumber = type.lowest != type.highest;
    std::optional<consoleformat::OwnedValue> value;
    if (!isNumber || consoleformat::isDecimalInRange(text, type.lowest, type.highest)) value = consoleformat::OwnedValue::read(text.c_str(), type.syntax);
    if (value) return value;
    problem = "\"" + text + "\" cannot be read as " + type.name + ".";
    return std::nullopt;
  }
  problem = letter ? std::string("'") + letter + "' is not a type letter; use one of o i u d g t c a p b n."
                   : "it needs a type letter and a value, such as -mi12.";
  return std::nullopt;
}

std::optional<TrapContents> readTrapContents(const Settings& settings, const std::string& localAddress,
                                             smiTIMETICKS upTime, std::string& problem) {
  TrapContents contents;
  if (!consoleformat::readDottedOid(settings.enterprise.c_str(), contents.enterprise)) {
    problem = "\nOption -e: \"" + settings.enterprise + "\" is not a dotted OID.";
    return std::nullopt;
  }
  readAgentAddress(settings.agentAddress.value_or(localAddress), contents.agentAddress);
  contents.timeStamp = settings.timeStamp.value_or(upTime);
  for (int i = 0; i < settings.bindingCount; ++i) {
    const BindingSlot& slot = settings.slots[i];
    Binding binding;
    if (!slot.oidText.empty() && !consoleformat::readDottedOid(slot.oidText.c_str(), binding.name)) {
      problem = "\nOption -o (" + bindingName(i + 1) + "): \"" + slot.oidText + "\" is not a dotted OID.";
      return std::nullopt;
    }
    if (slot.hasValue) {
      std::string why;
      std::optional<consoleformat::OwnedValue> value = readValue(slot.typeLetter, slot.valueText, why);
      if (!value) {
        problem = "\nOption -m (" + bindingName(i + 1) + "): " + why;
        return std::nullopt;
      }
      binding.value = std::move(*value);
    }
    contents.bindings.push_back(std::move(binding));
  }
  return contents;
}

}  // namespace alertcast
