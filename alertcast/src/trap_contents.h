// What the trap carries, read from the settings: the enterprise OID, the
// agent address, the time stamp and the bindings as netmgr values. Text
// that does not read as what it stands for is an error that names it, so
// that nothing half-right is sent.
#pragma once

#include "trap_settings.h"
#include "value_conversion.h"

#include "winsnmp.h"

#include <optional>
#include <string>
#include <vector>

namespace alertcast {

using Oid = std::vector<smiUINT32>;

struct Binding {
  Oid name;                         // empty when the slot had no OID text
  consoleformat::OwnedValue value;  // NULL when the slot had no value
};

struct TrapContents {
  Oid enterprise;
  smiBYTE agentAddress[4] = {};
  smiTIMETICKS timeStamp = 0;
  std::vector<Binding> bindings;
};

// The four low bytes of four decimal numbers; all four 0 when the text
// does not have four numbers.
void readAgentAddress(const std::string& text, smiBYTE (&address)[4]);

// The value of `letter` read from `text`; nothing, with `problem` saying
// which text could not be read as which type, when it does not read.
std::optional<consoleformat::OwnedValue> readValue(char letter, const std::string& text, std::string& problem);

// The whole trap. `localAddress` is the agent address without -a and
// `upTime` the time stamp without -t.
std::optional<TrapContents> readTrapContents(const Settings& settings, const std::string& localAddress,
                                             smiTIMETICKS upTime, std::string& problem);

}  // namespace alertcast
