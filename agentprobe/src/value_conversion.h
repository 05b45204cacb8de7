// Text from a command line into an SNMP value of a chosen syntax.
#pragma once

#include "winsnmp.h"

namespace consoleformat {

// Fills `value` from `text` read as `syntax`. False when the text does not
// read as that syntax (the value is then empty). Buffers the value gets
// are the caller's, released with releaseValue.
bool convertValue(const char* text, smiUINT32 syntax, smiVALUE& value);
void releaseValue(smiVALUE& value);

}  // namespace consoleformat
