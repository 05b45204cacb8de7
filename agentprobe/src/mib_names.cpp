// The formatter's node names from the module library.
#include "mib_names.h"

#include "variable_format.h"
#include "wsm.h"

#include <sstream>

namespace consoleformat {
namespace {

constexpr smiUINT32 kNameBuffer = 500;

bool nameFromModules(const smiUINT32* subidentifiers, smiUINT32 length, std::string& name) {
  smiOID prefix{length, const_cast<smiUINT32*>(subidentifiers)};
  HWSM_NODE node = WsmMapOidToNode(&prefix);
  if (!node) return false;
  char buffer[kNameBuffer];
  smiUINT32 size = sizeof buffer;
  if (!WsmGetNodeString(node, WSM_NODE_NAME, &size, buffer)) return false;
  name = buffer;
  return !name.empty();
}

std::string registeredIdentity(int index) {
  char identity[256];
  return WsmEnumRegisteredModule(index, identity, sizeof identity) ? identity : "";
}

}  // namespace

int loadMibModules(const std::string& list) {
  int loaded = 0;
  if (list.empty()) {
    char unused[8];
    WsmEnumRegisteredModule(0, unused, sizeof unused);  // reread the registry
    for (int index = 1;; ++index) {
      std::string identity = registeredIdentity(index);
      if (identity.empty()) break;
      loaded += WsmLoadModule(identity.c_str()) ? 1 : 0;
    }
  } else {
    std::istringstream names(list);
    std::string identity;
    while (std::getline(names, identity, ',')) {
      if (!identity.empty()) loaded += WsmLoadModule(identity.c_str()) ? 1 : 0;
    }
  }
  return loaded;
}

void useMibNames() { setNodeNamer(nameFromModules); }

bool oidOfNodeName(const std::string& module, const std::string& name, std::vector<smiUINT32>& oid) {
  HWSM_NODE node = name.empty() ? 0 : WsmMapStrToNode(name.c_str());
  if (!node) return false;
  if (!module.empty()) {
    char buffer[kNameBuffer];
    smiUINT32 size = sizeof buffer;
    if (!WsmGetNodeString(node, WSM_NODE_MODULE, &size, buffer) || module != buffer) return false;
  }
  smiOID found{};
  if (!WsmGetNodeOid(node, WSM_NODE_OID, &found)) return false;
  oid.assign(found.ptr, found.ptr + found.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&found));
  return true;
}

}  // namespace consoleformat
