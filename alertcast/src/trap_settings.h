// The trap sender's settings, read from its command line.
#pragma once

#include "winsnmp.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace alertcast {

constexpr int kMostBindings = 100;

// One binding as given: the OID text of -o and the type letter and value
// text of -m.
struct BindingSlot {
  std::string oidText;
  bool hasValue = false;
  char typeLetter = 0;
  std::string valueText;
};

struct Settings {
  std::string managerAddress;  // normalised "%d.%d.%d.%d"; empty when none was given
  uint16_t managerPort = 0;    // 0: the trap port, 162
  std::string community = "vulpes";
  smiINT genericTrap = SNMP_TRAP_ENTERPRISESPECIFIC;
  smiINT specificTrap = 0;
  std::string enterprise = "0.0";
  std::optional<std::string> agentAddress;    // -a; else this computer's address
  std::optional<smiTIMETICKS> timeStamp;      // -t; else the system's up time
  bool printVersion = false;
  bool printParameters = false;
  std::array<BindingSlot, kMostBindings> slots;
  int bindingCount = 0;  // at least 1 once read
};

enum class ParseOutcome { run, usage, refused };

// Reads the arguments after the program name: letters after '-' or '/',
// in either case, with their parameter attached. No arguments, an unknown
// letter or a malformed manager address ask for the usage text; a number
// out of its range, or a 101st binding, is refused with `refusal` saying
// why.
ParseOutcome parseCommandLine(int argc, const char* const* argv, Settings& settings, std::string& refusal);

}  // namespace alertcast
