// Loading the utility library by name.
#include "utility_library.h"

#include "debug_output.h"

#include "platform/libraries.h"

#include <atomic>
#include <string>

namespace netmgr {
namespace {

HMODULE loaded = nullptr;
UtilityLibrary functions{};
std::atomic<const UtilityLibrary*> available{nullptr};
std::string nameToLoad = SNMPUTIL_LIBRARY_NAME;

template <class Function>
bool find(HMODULE library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(GetProcAddress(library, name));
  return function != nullptr;
}

}  // namespace

void loadUtilityLibrary() {
  if (loaded) return;
  loaded = LoadLibraryEx(nameToLoad.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!loaded) {
    debugLine("the SNMP utility library %s is not present", nameToLoad.c_str());
    return;
  }
  if (!find(loaded, "SnmpUtilMemAlloc", functions.memAlloc) || !find(loaded, "SnmpUtilMemFree", functions.memFree) ||
      !find(loaded, "SnmpUtilOidFree", functions.oidFree) ||
      !find(loaded, "SnmpUtilVarBindListFree", functions.varBindListFree)) {
    debugLine("the SNMP utility library %s lacks a function; not used", nameToLoad.c_str());
    unloadUtilityLibrary();
    return;
  }
  available.store(&functions);
}

void unloadUtilityLibrary() {
  available.store(nullptr);
  if (loaded) FreeLibrary(loaded);
  loaded = nullptr;
  functions = {};
}

const UtilityLibrary* utilityLibrary() { return available.load(); }

void setUtilityLibraryName(const char* name) { nameToLoad = name ? name : SNMPUTIL_LIBRARY_NAME; }

}  // namespace netmgr
