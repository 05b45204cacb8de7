/* winsnmp.h: the manager interface of the netmgr SNMP library.
 *
 * An application starts the library (SnmpStartup), creates entities (agent
 * addresses), contexts (community strings), variable-binding lists and
 * PDUs as handles, opens a session, sends requests and fetches responses,
 * time-outs and notifications with SnmpRecvMsg. Every function returns
 * SNMPAPI_SUCCESS or a handle on success, and SNMPAPI_FAILURE or a null
 * handle on failure; SnmpGetLastError then tells why. Buffers the library
 * hands out inside smiOID and smiOCTETS descriptors are released with
 * SnmpFreeDescriptor; buffers passed in are always copied.
 */
#ifndef NETMGR_WINSNMP_H
#define NETMGR_WINSNMP_H

#include "platform/win32_types.h"

#include <stdint.h>

#if defined(_WIN32)
#  if defined(NETMGR_BUILD)
#    define NETMGR_API __declspec(dllexport)
#  else
#    define NETMGR_API __declspec(dllimport)
#  endif
#else
#  define NETMGR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Basic SMI types. */
typedef int32_t smiINT;
typedef int32_t smiINT32;
typedef uint32_t smiUINT32;
typedef uint8_t smiBYTE;
typedef smiINT* smiLPINT;
typedef smiINT32* smiLPINT32;
typedef smiUINT32* smiLPUINT32;
typedef smiBYTE* smiLPBYTE;
typedef smiUINT32 smiTIMETICKS;
typedef smiTIMETICKS* smiLPTIMETICKS;

typedef struct {
  smiUINT32 len;
  smiLPBYTE ptr;
} smiOCTETS;
typedef smiOCTETS* smiLPOCTETS;
typedef const smiOCTETS* smiLPCOCTETS;
typedef smiOCTETS smiOPAQUE;
typedef smiOPAQUE* smiLPOPAQUE;
typedef smiOCTETS smiBITS;
typedef smiOCTETS smiIPADDR;
typedef smiOCTETS smiNSAPADDR;

typedef struct {
  smiUINT32 len;
  smiLPUINT32 ptr;
} smiOID;
typedef smiOID* smiLPOID;
typedef const smiOID* smiLPCOID;

typedef struct {
  smiUINT32 hipart;
  smiUINT32 lopart;
} smiCNTR64;
typedef smiCNTR64* smiLPCNTR64;

typedef struct {
  smiUINT32 syntax;
  union {
    smiINT sNumber;
    smiUINT32 uNumber;
    smiCNTR64 hNumber;
    smiOCTETS string;
    smiOID oid;
    smiBYTE empty;
  } value;
} smiVALUE;
typedef smiVALUE* smiLPVALUE;
typedef const smiVALUE* smiLPCVALUE;

/* Handles: addresses of library objects, valid while the object lives. */
typedef HANDLE HSNMP_SESSION;
typedef HANDLE HSNMP_ENTITY;
typedef HANDLE HSNMP_CONTEXT;
typedef HANDLE HSNMP_PDU;
typedef HANDLE HSNMP_VBL;
typedef HSNMP_SESSION* LPHSNMP_SESSION;
typedef HSNMP_ENTITY* LPHSNMP_ENTITY;
typedef HSNMP_CONTEXT* LPHSNMP_CONTEXT;
typedef HSNMP_PDU* LPHSNMP_PDU;
typedef HSNMP_VBL* LPHSNMP_VBL;

typedef smiUINT32 SNMPAPI_STATUS;

#define SNMPAPI_SUCCESS 1
#define SNMPAPI_FAILURE 0

/* Syntax codes: equal to the BER tags on the wire. */
#define SNMP_SYNTAX_INT 0x02
#define SNMP_SYNTAX_INT32 SNMP_SYNTAX_INT
#define SNMP_SYNTAX_BITS 0x03
#define SNMP_SYNTAX_OCTETS 0x04
#define SNMP_SYNTAX_NULL 0x05
#define SNMP_SYNTAX_OID 0x06
#define SNMP_SYNTAX_IPADDR 0x40
#define SNMP_SYNTAX_CNTR32 0x41
#define SNMP_SYNTAX_GAUGE32 0x42
#define SNMP_SYNTAX_TIMETICKS 0x43
#define SNMP_SYNTAX_OPAQUE 0x44
#define SNMP_SYNTAX_NSAPADDR 0x45
#define SNMP_SYNTAX_CNTR64 0x46
#define SNMP_SYNTAX_UINT32 0x47
#define SNMP_SYNTAX_NOSUCHOBJECT 0x80
#define SNMP_SYNTAX_NOSUCHINSTANCE 0x81
#define SNMP_SYNTAX_ENDOFMIBVIEW 0x82

/* PDU types. */
#define SNMP_PDU_GET 0xA0
#define SNMP_PDU_GETNEXT 0xA1
#define SNMP_PDU_RESPONSE 0xA2
#define SNMP_PDU_SET 0xA3
#define SNMP_PDU_V1TRAP 0xA4
#define SNMP_PDU_GETBULK 0xA5
#define SNMP_PDU_INFORM 0xA6
#define SNMP_PDU_TRAP 0xA7

/* Error status values of a response PDU. */
#define SNMP_ERROR_NOERROR 0
#define SNMP_ERROR_TOOBIG 1
#define SNMP_ERROR_NOSUCHNAME 2
#define SNMP_ERROR_BADVALUE 3
#define SNMP_ERROR_READONLY 4
#define SNMP_ERROR_GENERR 5
#define SNMP_ERROR_NOACCESS 6
#define SNMP_ERROR_WRONGTYPE 7
#define SNMP_ERROR_WRONGLENGTH 8
#define SNMP_ERROR_WRONGENCODING 9
#define SNMP_ERROR_WRONGVALUE 10
#define SNMP_ERROR_NOCREATION 11
#define SNMP_ERROR_INCONSISTENTVALUE 12
#define SNMP_ERROR_RESOURCEUNAVAILABLE 13
#define SNMP_ERROR_COMMITFAILED 14
#define SNMP_ERROR_UNDOFAILED 15
#define SNMP_ERROR_AUTHORIZATIONERROR 16
#define SNMP_ERROR_NOTWRITABLE 17
#define SNMP_ERROR_INCONSISTENTNAME 18

/* Generic trap types of an SNMPv1 trap. */
#define SNMP_TRAP_COLDSTART 0
#define SNMP_TRAP_WARMSTART 1
#define SNMP_TRAP_LINKDOWN 2
#define SNMP_TRAP_LINKUP 3
#define SNMP_TRAP_AUTHFAIL 4
#define SNMP_TRAP_EGPNEIGHBORLOSS 5
#define SNMP_TRAP_ENTERPRISESPECIFIC 6

/* Library modes and levels. */
#define SNMPAPI_TRANSLATED 0
#define SNMPAPI_UNTRANSLATED_V1 1
#define SNMPAPI_UNTRANSLATED_V2 2
#define SNMPAPI_NO_SUPPORT 0
#define SNMPAPI_V1_SUPPORT 1
#define SNMPAPI_V2_SUPPORT 2
#define SNMPAPI_M2M_SUPPORT 3
#define SNMPAPI_OFF 0
#define SNMPAPI_ON 1

/* Notification modes of SnmpOpenEx. */
#define SNMPAPI_NOTIFY_WINDOW 1
#define SNMPAPI_NOTIFY_THREAD 2
#define SNMPAPI_NOTIFY_NONE 4
#define SNMPAPI_NOTIFY_TRAP_SERVICE 8

/* Errors reported by SnmpGetLastError. */
#define SNMPAPI_ALLOC_ERROR 2
#define SNMPAPI_CONTEXT_INVALID 3
#define SNMPAPI_CONTEXT_UNKNOWN 4
#define SNMPAPI_ENTITY_INVALID 5
#define SNMPAPI_ENTITY_UNKNOWN 6
#define SNMPAPI_INDEX_INVALID 7
#define SNMPAPI_NOOP 8
#define SNMPAPI_OID_INVALID 9
#define SNMPAPI_OPERATION_INVALID 10
#define SNMPAPI_OUTPUT_TRUNCATED 11
#define SNMPAPI_PDU_INVALID 12
#define SNMPAPI_SESSION_INVALID 13
#define SNMPAPI_SYNTAX_INVALID 14
#define SNMPAPI_VBL_INVALID 15
#define SNMPAPI_MODE_INVALID 16
#define SNMPAPI_SIZE_INVALID 17
#define SNMPAPI_NOT_INITIALIZED 18
#define SNMPAPI_MESSAGE_INVALID 19
#define SNMPAPI_HWND_INVALID 20
#define SNMPAPI_OTHER_ERROR 99
#define SNMPAPI_TL_NOT_INITIALIZED 100
#define SNMPAPI_TL_NOT_SUPPORTED 101
#define SNMPAPI_TL_NOT_AVAILABLE 102
#define SNMPAPI_TL_RESOURCE_ERROR 103
#define SNMPAPI_TL_UNDELIVERABLE 104
#define SNMPAPI_TL_SRC_INVALID 105
#define SNMPAPI_TL_INVALID_PARAM 106
#define SNMPAPI_TL_IN_USE 107
#define SNMPAPI_TL_TIMEOUT 108
#define SNMPAPI_TL_PDU_TOO_BIG 109
#define SNMPAPI_TL_OTHER 199
/* The library's own codes. */
#define SNMPAPI_DESCRIPTOR_MISSING 77
#define SNMPAPI_NO_OUTPUT_DESCRIPTOR 79
#define SNMPAPI_NOTIFY_MODE_UNKNOWN 1001
#define SNMPAPI_VBL_EMPTY 1013
#define SNMPAPI_CONVERSION_NO_VBL 1020
#define SNMPAPI_CONVERSION_UNSUPPORTED 1021
#define SNMPAPI_TRAP_SERVICE_UNAVAILABLE 1022

/* Start-up, clean-up, modes and errors. */
NETMGR_API SNMPAPI_STATUS WINAPI SnmpStartup(smiLPUINT32 majorVersion, smiLPUINT32 minorVersion,
                                             smiLPUINT32 level, smiLPUINT32 translateMode,
                                             smiLPUINT32 retransmitMode);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpCleanup(void);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetLastError(HSNMP_SESSION session);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetTranslateMode(smiLPUINT32 mode);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetTranslateMode(smiUINT32 mode);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetRetransmitMode(smiLPUINT32 mode);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetRetransmitMode(smiUINT32 mode);

/* Entities: agent addresses with their timeout, retry count and port. */
NETMGR_API HSNMP_ENTITY WINAPI SnmpStrToEntity(HSNMP_SESSION session, LPCSTR address);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpEntityToStr(HSNMP_ENTITY entity, smiUINT32 size, LPSTR buffer);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpFreeEntity(HSNMP_ENTITY entity);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetPort(HSNMP_ENTITY entity, UINT port);
/* The entity's UDP port: the one SnmpSetPort stored (0: the default port),
 * or for the source entity of a received message the port it came from. */
NETMGR_API SNMPAPI_STATUS WINAPI OvSnmpGetPort(HSNMP_ENTITY entity, UINT* port);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetTimeout(HSNMP_ENTITY entity, smiLPTIMETICKS policyTimeout,
                                                smiLPTIMETICKS actualTimeout);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetTimeout(HSNMP_ENTITY entity, smiTIMETICKS policyTimeout);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetRetry(HSNMP_ENTITY entity, smiLPUINT32 policyRetry,
                                              smiLPUINT32 actualRetry);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetRetry(HSNMP_ENTITY entity, smiUINT32 policyRetry);

/* Contexts: community strings. */
NETMGR_API HSNMP_CONTEXT WINAPI SnmpStrToContext(HSNMP_SESSION session, smiLPCOCTETS community);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpContextToStr(HSNMP_CONTEXT context, smiLPOCTETS community);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpFreeContext(HSNMP_CONTEXT context);

/* Sessions, sending and receiving. */
NETMGR_API HSNMP_SESSION WINAPI SnmpOpen(HWND window, UINT message);
/* flags: SNMPAPI_NOTIFY_*; target: a window handle (mode 1) or a thread
 * identifier (mode 2). */
NETMGR_API HSNMP_SESSION WINAPI SnmpOpenEx(smiUINT32 flags, ULONG_PTR target, UINT message);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpClose(HSNMP_SESSION session);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSendMsg(HSNMP_SESSION session, HSNMP_ENTITY source,
                                             HSNMP_ENTITY destination, HSNMP_CONTEXT context,
                                             HSNMP_PDU pdu);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpRecvMsg(HSNMP_SESSION session, LPHSNMP_ENTITY source,
                                             LPHSNMP_ENTITY destination, LPHSNMP_CONTEXT context,
                                             LPHSNMP_PDU pdu);
/* Notifications: state SNMPAPI_ON registers the session for every trap
 * (the filter arguments are not used), SNMPAPI_OFF ends that. Traps come
 * from the trap server program (notifyd, started through the search path
 * when it is not running) to a window on the thread of the first call,
 * which must dispatch messages; they are taken with SnmpRecvMsg as
 * SNMP_PDU_TRAP PDUs: sysUpTime.0, snmpTrapOID.0, the trap's bindings,
 * snmpTrapEnterprise.0. SNMPAPI_TL_NOT_AVAILABLE when no server can be
 * reached. */
NETMGR_API SNMPAPI_STATUS WINAPI SnmpRegister(HSNMP_SESSION session, HSNMP_ENTITY source,
                                              HSNMP_ENTITY destination, HSNMP_CONTEXT context,
                                              smiLPCOID notification, smiUINT32 state);

/* PDUs. */
NETMGR_API HSNMP_PDU WINAPI SnmpCreatePdu(HSNMP_SESSION session, smiINT type, smiINT32 requestId,
                                          smiINT errorStatus, smiINT errorIndex, HSNMP_VBL list);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetPduData(HSNMP_PDU pdu, smiLPINT type, smiLPINT32 requestId,
                                                smiLPINT errorStatus, smiLPINT errorIndex,
                                                LPHSNMP_VBL list);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetPduData(HSNMP_PDU pdu, const smiINT* type,
                                                const smiINT32* requestId, const smiINT* nonRepeaters,
                                                const smiINT* maxRepetitions, const HSNMP_VBL* list);
NETMGR_API HSNMP_PDU WINAPI SnmpDuplicatePdu(HSNMP_SESSION session, HSNMP_PDU pdu);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpFreePdu(HSNMP_PDU pdu);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetV1TrapPduData(HSNMP_PDU pdu, smiLPCOID enterprise,
                                                      smiLPCOCTETS agentAddress,
                                                      const smiINT* genericTrap,
                                                      const smiINT* specificTrap,
                                                      const smiTIMETICKS* timeStamp);

/* Variable-binding lists. Indices run from 1 to the count. */
NETMGR_API HSNMP_VBL WINAPI SnmpCreateVbl(HSNMP_SESSION session, smiLPCOID name, smiLPCVALUE value);
NETMGR_API HSNMP_VBL WINAPI SnmpDuplicateVbl(HSNMP_SESSION session, HSNMP_VBL list);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpFreeVbl(HSNMP_VBL list);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpCountVbl(HSNMP_VBL list);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpGetVb(HSNMP_VBL list, smiUINT32 index, smiLPOID name,
                                           smiLPVALUE value);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpSetVb(HSNMP_VBL list, smiUINT32 index, smiLPCOID name,
                                           smiLPCVALUE value);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpDeleteVb(HSNMP_VBL list, smiUINT32 index);

/* Descriptors, messages and object identifiers. */
NETMGR_API SNMPAPI_STATUS WINAPI SnmpFreeDescriptor(smiUINT32 syntax, smiLPOPAQUE descriptor);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpEncodeMsg(HSNMP_SESSION session, HSNMP_ENTITY source,
                                               HSNMP_ENTITY destination, HSNMP_CONTEXT context,
                                               HSNMP_PDU pdu, smiLPOCTETS message);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpDecodeMsg(HSNMP_SESSION session, LPHSNMP_ENTITY source,
                                               LPHSNMP_ENTITY destination, LPHSNMP_CONTEXT context,
                                               LPHSNMP_PDU pdu, smiLPCOCTETS message);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpStrToOid(LPCSTR text, smiLPOID oid);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpOidToStr(smiLPCOID oid, smiUINT32 size, LPSTR buffer);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpOidCopy(smiLPOID source, smiLPOID destination);
NETMGR_API SNMPAPI_STATUS WINAPI SnmpOidCompare(smiLPCOID first, smiLPCOID second,
                                                smiUINT32 maximumLength, smiLPINT result);

/* Conversions to and from the RFC 1157 binding lists of the platform SNMP
 * utility library (snmputil.h), for sessions of the platform trap service
 * (SNMPAPI_NOTIFY_TRAP_SERVICE). Both need that library, loaded at
 * start-up when present (else SNMPAPI_TRAP_SERVICE_UNAVAILABLE). */
struct Rfc1157VarBindList;
NETMGR_API HSNMP_VBL WINAPI OvSnmpConvertMsRfc1157VblToWinSnmpVbl(HSNMP_SESSION session,
                                                                  struct Rfc1157VarBindList* list);
NETMGR_API SNMPAPI_STATUS WINAPI OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(HSNMP_SESSION session, HSNMP_VBL list,
                                                                       struct Rfc1157VarBindList* converted,
                                                                       smiLPINT errorStatus,
                                                                       smiLPINT errorIndex);

/* Diagnostics. */
NETMGR_API SNMPAPI_STATUS WINAPI OvSnmpDebugSetLevel(smiUINT32 level);
NETMGR_API SNMPAPI_STATUS WINAPI OvSnmpDebugOutputHandles(void);

#ifdef __cplusplus
}
#endif

#endif /* NETMGR_WINSNMP_H */
