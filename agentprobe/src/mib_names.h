// Names for OIDs from the registered MIB modules, through the module
// library.
#pragma once

#include "winsnmp.h"

#include <string>
#include <vector>

namespace consoleformat {

// Loads the modules named in `list` (identities separated by commas), or
// every registered module when the list is empty. Returns how many
// modules are loaded.
int loadMibModules(const std::string& list);
// Installs the loaded modules as the formatter's source of names.
void useMibNames();
// The OID of the node called `name` (the first in OID order), which must
// belong to `module` unless that is empty. False when the loaded modules
// know no such node.
bool oidOfNodeName(const std::string& module, const std::string& name, std::vector<smiUINT32>& oid);

}  // namespace consoleformat
