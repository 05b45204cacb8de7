// The platform SNMP utility library, loaded at start-up when present: the
// memory functions of the RFC 1157 binding lists that the conversions and
// sessions of the platform trap service need.
#pragma once

#include "snmputil.h"

namespace netmgr {

struct UtilityLibrary {
  LPVOID(WINAPI* memAlloc)(UINT size);
  void(WINAPI* memFree)(LPVOID block);
  void(WINAPI* oidFree)(Rfc1157Oid* oid);
  void(WINAPI* varBindListFree)(Rfc1157VarBindList* list);
};

// At SnmpStartup and SnmpCleanup. A library that lacks one of the four
// functions is unloaded again and counts as missing.
void loadUtilityLibrary();
void unloadUtilityLibrary();
// Null while the library is not loaded.
const UtilityLibrary* utilityLibrary();

// Test support: the name loaded at the next start-up (null: the usual one).
void setUtilityLibraryName(const char* name);

}  // namespace netmgr
