// Reading the trap sender's command line.
#include "trap_settings.h"

#include "probe_settings.h"
#include "value_conversion.h"

#include <cctype>
#include <cstdlib>

namespace alertcast {
namespace {

// A whole decimal number from `lowest` to `highest`.
bool readNumber(const char* text, long long lowest, long long highest, long long& number) {
  if (!consoleformat::isDecimalInRange(text, lowest, highest)) return false;
  number = std::strtoll(text, nullptr, 10);
  return true;
}

class OptionReader {
 public:
  OptionReader(Settings& settings, std::string& refusal) : settings_(settings), refusal_(refusal) {}

  // False for an unknown letter.
  bool apply(char letter, const char* parameter) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
      case 'a': settings_.agentAddress = parameter; break;
      case 'c': settings_.community = parameter; break;
      case 'e': settings_.enterprise = parameter; break;
      case 'g': number('g', parameter, 0, 6, "a generic trap type from 0 to 6", settings_.genericTrap); break;
      case 's': number('s', parameter, 0, INT32_MAX, "a specific trap type from 0 to 2147483647", settings_.specificTrap); break;
      case 't': timeStamp(parameter); break;
      case 'o': slot().oidText = parameter; break;
      case 'm': value(parameter); break;
      case 'p': settings_.printParameters = true; break;
      case 'v': settings_.printVersion = true; break;
      default: return false;
    }
    return true;
  }

 private:
  // The slot the next -o or -m fills; past the last one, a spare that is
  // never used.
  BindingSlot& slot() { return settings_.bindingCount < kMostBindings ? settings_.slots[settings_.bindingCount] : spare_; }

  void refuse(const std::string& why) {
    if (refusal_.empty()) refusal_ = why;
  }

  void number(char letter, const char* parameter, long long lowest, long long highest, const char* takes, smiINT& into) {
    long long read = 0;
    if (readNumber(parameter, lowest, highest, read)) into = static_cast<smiINT>(read);
    else refuse(std::string("\nOption -") + letter + " takes " + takes + ", not \"" + parameter + "\".");
  }

  void timeStamp(const char* parameter) {
    long long read = 0;
    if (readNumber(parameter, 0, UINT32_MAX, read)) settings_.timeStamp = static_cast<smiTIMETICKS>(read);
    else refuse(std::string("\nOption -t takes a time stamp from 0 to 4294967295, not \"") + parameter + "\".");
  }

  void value(const char* parameter) {
    if (settings_.bindingCount == kMostBindings) {
      refuse("\nOption -m: at most 100 bindings can be sent.");
      return;
    }
    BindingSlot& filled = slot();
    filled.hasValue = true;
    filled.typeLetter = parameter[0];
    filled.valueText = parameter[0] ? parameter + 1 : "";
    ++settings_.bindingCount;
  }

  Settings& settings_;
  std::string& refusal_;
  BindingSlot spare_;
};

}  // namespace

ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings, std::string& refusal) {
  if (argc <= 1) return ParseOutcome::usage;
  settings.slots[0].oidText = "0.0";
  OptionReader options(settings, refusal);
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] == '-' || argument[0] == '/') {
      if (!options.apply(argument[1], argument[1] ? argument + 2 : argument + 1)) return ParseOutcome::usage;
      continue;
    }
    std::string text = argument;
    uint16_t port = 0;
    if (!agentprobe::parseAgentAddress(text, settings.managerAddress, port)) return ParseOutcome::usage;
    // Without a port the entity keeps its default, the trap port.
    settings.managerPort = text.find(':') == std::string::npos ? 0 : port;
  }
  if (settings.bindingCount == 0) settings.bindingCount = 1;
  return refusal.empty() ? ParseOutcome::run : ParseOutcome::refused;
}

}  // namespace alertcast
