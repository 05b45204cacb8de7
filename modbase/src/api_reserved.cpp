// The last error, and the list entry points that are reserved without
// behaviour: each takes the lock and returns 0 with error 0.
#include "library.h"

using namespace modbase;

namespace {

BOOL reserved() {
  return runCall<BOOL>(FALSE, [](WsmCall&, Library&) { return FALSE; });
}

}  // namespace

extern "C" {

DWORD WsmGetLastError(void) { return lastErrorOfThread(); }

BOOL WsmGetNodeList(HWSM_NODE, UINT, LPVOID) { return reserved(); }
BOOL WsmGetListElementOid(LPVOID, UINT, LPVOID) { return reserved(); }
BOOL WsmGetListElementInt(LPVOID, UINT, LPVOID) { return reserved(); }
BOOL WsmGetListElementList(LPVOID, UINT, LPVOID) { return reserved(); }
BOOL WsmGetListElementString(LPVOID, UINT, smiLPUINT32, LPSTR) { return reserved(); }
BOOL WsmFindNextListElement(LPVOID) { return reserved(); }
BOOL WsmFreeList(LPVOID) { return reserved(); }

}  // extern "C"
