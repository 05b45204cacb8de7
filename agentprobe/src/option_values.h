// The values of the -s, -e and -m options, read and checked before
// anything is sent: OIDs given as numbers or names, and the value to set.
#pragma once

#include "oid_choice.h"
#include "probe_settings.h"
#include "value_conversion.h"

#include <optional>
#include <string>

namespace agentprobe {

// The OID of a MIB node name, within `module` unless that is empty; false
// when the loaded MIB modules know no such node.
using NameLookup = bool (*)(const std::string& module, const std::string& name, Oid& oid);

// An OID as text: dotted numbers ("1.3.6.1", a leading dot allowed as
// snmpwalk prints them), or a node name with an optional module and
// instance ("sysContact.0", "IF-MIB::ifDescr.2"). Nothing when it reads as
// neither.
std::optional<Oid> readOidText(const std::string& text, NameLookup lookUp);

// The -m value: its type letter selects the syntax and the rest is read
// as that syntax; numbers must be whole and in range. Nothing, with
// `problem` saying which text could not be read as which type, otherwise.
std::optional<consoleformat::OwnedValue> readSetValue(char letter, const std::string& text, std::string& problem);

struct OptionValues {
  std::optional<Oid> start;          // -s
  std::optional<Oid> end;            // -e
  consoleformat::OwnedValue setValue;  // -m
};

// Reads the options that were given. Nothing, with `problem` set to the
// message for the user, when one of them does not read.
std::optional<OptionValues> readOptionValues(const Settings& settings, NameLookup lookUp, std::string& problem);

}  // namespace agentprobe
