// Text forms of SNMP data shared by the console programs: the variable
// line, syntax labels and value texts, error-status names and the module
// version block. Each program builds this module into itself and chooses
// its own line break.
#pragma once

#include "winsnmp.h"

#include <optional>
#include <string>

namespace consoleformat {

// Parts of a variable line, written in this order: newline, numeric or
// named OID, separator, type, value.
enum LineFlag : unsigned {
  kNumericOid = 0x01,
  kNamedOid = 0x02,
  kValue = 0x04,
  kSeparator = 0x08,
  kType = 0x10,
  kNewline = 0x20,
};

// The name of the node at the first `length` sub-identifiers of an OID,
// if the loaded MIB modules know one. Installed by the program (see
// mib_names.h); without it every OID prints as numbers.
using NodeNamer = bool (*)(const smiUINT32* subidentifiers, smiUINT32 length, std::string& name);
void setNodeNamer(NodeNamer namer);

// One variable binding as a line, or nothing when the value part is asked
// for and the syntax is unknown.
std::optional<std::string> variableLine(const smiOID& name, const smiVALUE& value, unsigned flags,
                                        const char* lineBreak);

std::string numericOid(const smiOID& oid);
// The longest named prefix followed by the remaining numbers
// (1.3.6.1.2.1.1.3.0 reads sysUpTime.0), or the numbers alone.
std::string namedOid(const smiOID& oid);
// "(octets)" and the like; null for a syntax without a label.
const char* syntaxLabel(smiUINT32 syntax);
// The value part; nothing for a syntax it does not know.
std::optional<std::string> valueText(const smiVALUE& value);
std::string timeTicksText(smiUINT32 ticks);
// Bytes as "%02x" joined by "." (01.02.ff).
std::string hexForm(const smiBYTE* bytes, smiUINT32 length);

const char* errorStatusName(smiINT status);

// The block printed after start-up when the user asks for the version.
std::string versionBlock(smiUINT32 major, smiUINT32 minor, smiUINT32 level, smiUINT32 translateMode,
                         smiUINT32 retransmitMode);

}  // namespace consoleformat
