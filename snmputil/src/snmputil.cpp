// The utility library's memory and release functions.
#include "snmputil.h"

#include <cstdlib>

namespace {

void freeValue(Rfc1157Value& value) {
  switch (value.type) {
    case RFC1157_OBJECT_IDENTIFIER: SnmpUtilOidFree(&value.value.oid); break;
    case RFC1157_OCTET_STRING:
    case RFC1157_IPADDRESS:
    case RFC1157_OPAQUE:
      if (value.value.string.dynamic) SnmpUtilMemFree(value.value.string.octets);
      value.value.string = {nullptr, 0, FALSE};
      break;
    default: break;
  }
  value.type = RFC1157_NULL;
}

}  // namespace

extern "C" {

LPVOID WINAPI SnmpUtilMemAlloc(UINT size) { return std::calloc(size ? size : 1, 1); }

void WINAPI SnmpUtilMemFree(LPVOID block) { std::free(block); }

void WINAPI SnmpUtilOidFree(Rfc1157Oid* oid) {
  if (!oid) return;
  SnmpUtilMemFree(oid->numbers);
  *oid = {0, nullptr};
}

void WINAPI SnmpUtilVarBindListFree(Rfc1157VarBindList* list) {
  if (!list) return;
  for (UINT i = 0; list->bindings && i < list->count; ++i) {
    SnmpUtilOidFree(&list->bindings[i].name);
    freeValue(list->bindings[i].value);
  }
  SnmpUtilMemFree(list->bindings);
  *list = {nullptr, 0};
}

}  // extern "C"
