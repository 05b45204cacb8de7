// A program an application developer might write first, built against an
// installed copy of the suite: start the library, turn an OID into a
// descriptor and back, and stop it.
#include <winsnmp.h>

#include <cstdio>
#include <cstring>

int main() {
  if (SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_SUCCESS) return 1;
  smiOID oid{};
  char text[64] = {};
  bool same = SnmpStrToOid("1.3.6.1.2.1.1.1.0", &oid) == SNMPAPI_SUCCESS &&
              SnmpOidToStr(&oid, sizeof text, text) != SNMPAPI_FAILURE && std::strcmp(text, "1.3.6.1.2.1.1.1.0") == 0;
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  SnmpCleanup();
  std::printf("%s\n", same ? text : "the OID did not come back");
  return same ? 0 : 1;
}
