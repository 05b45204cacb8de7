// The MIB source file types in the registry's HKEY_CLASSES_ROOT: the
// extensions .mib, .smi, .mi2 and .sm2 name the type "MIBfile", whose
// "Compile" command runs this program on the file.
#pragma once

#include <string>

namespace modforge {

// Writes the associations for the program at `programPath`; false (with
// what was written so far left in place) when the registry refused.
bool registerSourceFileTypes(const std::string& programPath);

}  // namespace modforge
