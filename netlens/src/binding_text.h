// The browser's text for a received variable binding:
//   name **** (tag) value
// where the name is the longest known prefix of the OID as a MIB node name
// followed by the remaining sub-identifiers. The info windows, the
// discovery window and the trap console take the tag or the value from
// here too.
#pragma once

#include "winsnmp.h"

#include <string>

namespace netlens {

// The node name of the longest prefix the loaded modules know, then each
// further sub-identifier as "." + decimal; fully numeric ("1.3.6") when no
// prefix is known.
std::string oidName(const smiOID& oid);
// The dotted decimal form, or "" for an empty OID.
std::string dottedOid(const smiOID& oid);

// "(int, int32)", "(octets)" ... for the syntax, "(unknown)" for none.
std::string syntaxTag(smiUINT32 syntax);
// The tag without its parentheses, as the info windows' Syntax column
// shows it.
std::string syntaxWord(smiUINT32 syntax);
std::string valueText(const smiVALUE& value);
std::string bindingLine(const smiOID& name, const smiVALUE& value);

// Octet strings shown as text when they are printable (UTF-8, tabs and line
// ends allowed, a single zero byte at the end ignored), otherwise as the
// hex form "61.00.62 (hex)"; a zero length shows " (zero-length)".
std::string octetsText(const smiOCTETS& octets);
std::string hexText(const smiOCTETS& octets);
// "%d days %02dh:%02dm:%02ds.%02dth" of a tick count in hundredths.
std::string timeticksText(smiUINT32 ticks);

}  // namespace netlens
