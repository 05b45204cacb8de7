// Names for OIDs from the registered MIB modules, through the module
// library.
#pragma once

#include <string>

namespace consoleformat {

// Loads the modules named in `list` (identities separated by commas), or
// every registered module when the list is empty, and installs the module
// library as the formatter's source of names. Returns how many modules
// are loaded.
int loadMibNames(const std::string& list);

}  // namespace consoleformat
