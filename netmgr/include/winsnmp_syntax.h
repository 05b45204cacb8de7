/* winsnmp_syntax.h: which value syntaxes keep their data in a descriptor.
 *
 * BITS, OCTET STRING, OBJECT IDENTIFIER, IpAddress, Opaque and NsapAddress
 * values point at a separately allocated buffer (value.string.ptr, or
 * value.oid.ptr for an OID). Such a buffer in a value the library hands
 * out (SnmpGetVb) is released with SnmpFreeDescriptor and the value's
 * syntax. Numbers, Counter64, NULL and the exceptions are held inside the
 * value and own nothing.
 */
#ifndef NETMGR_WINSNMP_SYNTAX_H
#define NETMGR_WINSNMP_SYNTAX_H

#include "winsnmp.h"

static inline int OvSnmpSyntaxHasDescriptor(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_OID:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return 1;
    default:
      return 0;
  }
}

#endif /* NETMGR_WINSNMP_SYNTAX_H */
