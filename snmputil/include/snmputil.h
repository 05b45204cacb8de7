/* snmputil.h: the platform SNMP utility library. The platform's SNMP
 * services exchange variable bindings in the RFC 1157 layout below; every
 * block in such a list (the binding array, names, object identifier
 * values, octet strings marked dynamic) comes from SnmpUtilMemAlloc, so
 * that the release functions here can free it, whoever made it.
 *
 * netmgr loads this library at run time by the name SNMPUTIL_LIBRARY_NAME
 * when it is present; its conversions between these lists and netmgr's
 * binding lists need it.
 */
#ifndef SNMPUTIL_H
#define SNMPUTIL_H

#include "platform/win32_types.h"

#if defined(_WIN32)
#  define SNMPUTIL_LIBRARY_NAME "SNMPAPI.DLL"
#  if defined(SNMPUTIL_BUILD)
#    define SNMPUTIL_API __declspec(dllexport)
#  else
#    define SNMPUTIL_API __declspec(dllimport)
#  endif
#else
#  define SNMPUTIL_LIBRARY_NAME "libsnmputil.so"
#  define SNMPUTIL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Value types: the BER tags of the types. */
#define RFC1157_INTEGER 0x02
#define RFC1157_OCTET_STRING 0x04
#define RFC1157_NULL 0x05
#define RFC1157_OBJECT_IDENTIFIER 0x06
#define RFC1157_SEQUENCE 0x30
#define RFC1157_IPADDRESS 0x40
#define RFC1157_COUNTER 0x41
#define RFC1157_GAUGE 0x42
#define RFC1157_TIMETICKS 0x43
#define RFC1157_OPAQUE 0x44

typedef struct Rfc1157Oid {
  UINT count;
  UINT* numbers; /* `count` sub-identifiers */
} Rfc1157Oid;

typedef struct Rfc1157Octets {
  BYTE* octets;
  UINT length;
  BOOL dynamic; /* the octets came from SnmpUtilMemAlloc and are freed with the value */
} Rfc1157Octets;

typedef struct Rfc1157Value {
  BYTE type; /* RFC1157_* */
  union {
    INT number;            /* INTEGER */
    UINT unsignedNumber;   /* Counter, Gauge, TimeTicks */
    Rfc1157Oid oid;        /* OBJECT IDENTIFIER */
    Rfc1157Octets string;  /* OCTET STRING, IpAddress, Opaque */
  } value;
} Rfc1157Value;

typedef struct Rfc1157VarBind {
  Rfc1157Oid name;
  Rfc1157Value value;
} Rfc1157VarBind;

typedef struct Rfc1157VarBindList {
  Rfc1157VarBind* bindings; /* `count` bindings */
  UINT count;
} Rfc1157VarBindList;

/* `size` zeroed octets; null when memory runs out. */
SNMPUTIL_API LPVOID WINAPI SnmpUtilMemAlloc(UINT size);
/* Frees a block from SnmpUtilMemAlloc; null is ignored. */
SNMPUTIL_API void WINAPI SnmpUtilMemFree(LPVOID block);
/* Frees the sub-identifiers and leaves the OID empty. */
SNMPUTIL_API void WINAPI SnmpUtilOidFree(Rfc1157Oid* oid);
/* Frees every binding's name and value, then the binding array, and
 * leaves the list empty. */
SNMPUTIL_API void WINAPI SnmpUtilVarBindListFree(Rfc1157VarBindList* list);

#ifdef __cplusplus
}
#endif

#endif /* SNMPUTIL_H */
