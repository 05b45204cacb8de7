/* wsm.h: the MIB module library.
 *
 * modbase loads compiled MIB modules (SMIDB files found through the module
 * registry), merges the nodes of every loaded module into one tree ordered
 * by OID, and answers lookups by name and by OID, tree navigation and
 * attribute queries. Functions return a node handle (0: none) or a BOOL;
 * after a failure WsmGetLastError tells why. Every call except
 * WsmGetLastError clears the calling thread's error first, and all calls
 * of all threads are serialised by one process-wide lock.
 *
 * Node handles stay valid while the module that made the node is loaded.
 * A handle of a node that no longer exists is refused like any unknown
 * handle (202 for navigation, 201 for attributes), never followed.
 */
#ifndef MODBASE_WSM_H
#define MODBASE_WSM_H

#include "winsnmp.h"

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  if defined(MODBASE_BUILD)
#    define MODBASE_API __declspec(dllexport)
#  else
#    define MODBASE_API __declspec(dllimport)
#  endif
#else
#  define MODBASE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A tree node: pointer-sized, opaque, 0 for none. */
typedef uintptr_t HWSM_NODE;

/* Node kinds (WsmGetNodeInt selector WSM_NODE_KIND). modbase itself reports
 * only WSM_KIND_OBJECT_TYPE and WSM_KIND_OBJECT_IDENTIFIER. */
#define WSM_KIND_MODULE_IDENTITY 1
#define WSM_KIND_OBJECT_IDENTITY 2
#define WSM_KIND_OBJECT_TYPE 3
#define WSM_KIND_NOTIFICATION_TYPE 4
#define WSM_KIND_OBJECT_GROUP 5
#define WSM_KIND_MODULE_COMPLIANCE 6
#define WSM_KIND_AGENT_CAPABILITIES 7
#define WSM_KIND_OBJECT_IDENTIFIER 8

/* Access codes (selector WSM_NODE_ACCESS). */
#define WSM_ACCESS_READ_ONLY 1
#define WSM_ACCESS_READ_WRITE 2
#define WSM_ACCESS_WRITE_ONLY 3
#define WSM_ACCESS_NOT_ACCESSIBLE 4
#define WSM_ACCESS_READ_CREATE 5

/* Status codes (selector WSM_NODE_STATUS). */
#define WSM_STATUS_MANDATORY 1
#define WSM_STATUS_OPTIONAL 2
#define WSM_STATUS_OBSOLETE 3
#define WSM_STATUS_DEPRECATED 4
#define WSM_STATUS_CURRENT 5

/* Selectors of WsmGetNodeOid. */
#define WSM_NODE_OID 3
/* Selectors of WsmGetNodeInt. */
#define WSM_NODE_KIND 1
#define WSM_NODE_STATUS 9
#define WSM_NODE_SYNTAX 11
#define WSM_NODE_ACCESS 20
/* Selectors of WsmGetNodeString. */
#define WSM_NODE_NAME 2
#define WSM_NODE_DESCRIPTION 7
#define WSM_NODE_SYNTAX_NAME 11
#define WSM_NODE_MODULE 50
#define WSM_NODE_BASE_SYNTAX_NAME 51

/* Error codes of WsmGetLastError; any other code comes from SnmpGetLastError
 * when WsmGetNodeOid cannot copy the OID. */
#define WSM_ERROR_NONE 0
#define WSM_ERROR_NO_SUCH_NODE 200
#define WSM_ERROR_NOT_APPLICABLE 201
#define WSM_ERROR_NO_SUCH_RELATIVE 202
#define WSM_ERROR_NOT_PRESENT 203
#define WSM_ERROR_BUFFER_TOO_SMALL 204
#define WSM_ERROR_NOT_LOADED 210
#define WSM_ERROR_ALREADY_LOADED 211
#define WSM_ERROR_NONE_REGISTERED 280
#define WSM_ERROR_NEGATIVE_INDEX 281
#define WSM_ERROR_INDEX_BEYOND_END 282
#define WSM_ERROR_BAD_STRUCTURE 291
#define WSM_ERROR_OUT_OF_MEMORY 293
#define WSM_ERROR_NOT_REGISTERED 294
#define WSM_ERROR_BAD_DATABASE 297
#define WSM_ERROR_NO_ERROR_SLOT 298
#define WSM_ERROR_NOT_INITIALIZED 299
#define WSM_ERROR_MODULE_INFO_NOT_LOADED 3333

#define WSM_VENDOR_INFO_SIZE 424
#define WSM_MODULE_INFO_SIZE 1296

/* Who made the library. Text fields end in a zero byte. */
typedef struct {
  uint32_t dwSize;          /* 0: the caller sets WSM_VENDOR_INFO_SIZE */
  uint32_t dwMajorVersion;  /* 4 */
  uint32_t dwMinorVersion;  /* 8 */
  uint32_t dwBuildNumber;   /* 12 */
  char szDescription[80];   /* 16 */
  uint32_t dwEnterprise;    /* 96: the maker's enterprise number */
  char szCompany[80];       /* 100 */
  char szEnterpriseOid[80]; /* 180 */
  char szWebAddress[80];    /* 260 */
  char szEmail[80];         /* 340 */
  uint32_t dwReserved;      /* 420: 0 */
} WSM_VENDOR_INFO, *LPWSM_VENDOR_INFO;

/* One loaded module. Text fields end in a zero byte. */
typedef struct {
  uint32_t dwSize;               /* 0: the caller sets WSM_MODULE_INFO_SIZE; left 0 */
  char szModuleName[80];         /* 4: from the module header record */
  char szRootOid[80];            /* 84: "Root OID" of the registry, or "<Not available>" */
  uint32_t dwOne;                /* 164: 1 */
  uint32_t dwNodeCount;          /* 168 */
  uint32_t dwFileSizeLow;        /* 172 */
  uint32_t dwFileSizeHigh;       /* 176 */
  uint32_t dwReserved1;          /* 180: 0 */
  uint32_t dwFormatVersion;      /* 184 */
  char szRegistryPath[512];      /* 188: registration path from "\SMI Modules" on */
  unsigned char abReserved[80];  /* 700: 0 */
  char szDescription[512];       /* 780: from the module header record */
  uint32_t dwReserved2;          /* 1292: 0 */
} WSM_MODULE_INFO, *LPWSM_MODULE_INFO;

#if defined(__cplusplus)
static_assert(sizeof(WSM_VENDOR_INFO) == WSM_VENDOR_INFO_SIZE, "WSM_VENDOR_INFO layout");
static_assert(sizeof(WSM_MODULE_INFO) == WSM_MODULE_INFO_SIZE, "WSM_MODULE_INFO layout");
#else
_Static_assert(sizeof(WSM_VENDOR_INFO) == WSM_VENDOR_INFO_SIZE, "WSM_VENDOR_INFO layout");
_Static_assert(sizeof(WSM_MODULE_INFO) == WSM_MODULE_INFO_SIZE, "WSM_MODULE_INFO layout");
#endif

/* Lookups. The node whose name equals `name` exactly (the first in OID
 * order), or with a null name the node of the smallest OID; 0 and 200 when
 * there is none. */
MODBASE_API HWSM_NODE WINAPI WsmMapStrToNode(LPCSTR name);
/* The node whose OID equals `oid`; 0 and 200 when there is none. */
MODBASE_API HWSM_NODE WINAPI WsmMapOidToNode(smiLPCOID oid);

/* Navigation: the first child, parent, next or previous sibling; 0 and 202
 * when there is none. */
MODBASE_API HWSM_NODE WINAPI WsmFindNodeChild(HWSM_NODE node);
MODBASE_API HWSM_NODE WINAPI WsmFindNodeParent(HWSM_NODE node);
MODBASE_API HWSM_NODE WINAPI WsmFindNodeNextSibling(HWSM_NODE node);
MODBASE_API HWSM_NODE WINAPI WsmFindNodePrevSibling(HWSM_NODE node);

/* Attributes, all from the node's first definition. WsmGetNodeOid copies the
 * OID (selector WSM_NODE_OID) into a descriptor the caller frees with
 * SnmpFreeDescriptor. WsmGetNodeInt stores the selected code in `result`
 * when it is not null. WsmGetNodeString copies min(L+1, *size) bytes of the
 * selected text of length L, sets byte *size-1 to 0 and succeeds only when
 * L+1 < *size (else 204, the truncated text left); *size becomes the text's
 * length (WSM_NODE_NAME) or the bytes copied (the others). */
MODBASE_API BOOL WINAPI WsmGetNodeOid(HWSM_NODE node, UINT selector, smiLPOID oid);
MODBASE_API BOOL WINAPI WsmGetNodeInt(HWSM_NODE node, UINT selector, smiLPUINT32 result);
MODBASE_API BOOL WINAPI WsmGetNodeString(HWSM_NODE node, UINT selector, smiLPUINT32 size,
                                         LPSTR buffer);
/* A 32-bit value of the caller's kept with each node, 0 at first. */
MODBASE_API BOOL WINAPI WsmGetNodeLong(HWSM_NODE node, smiLPINT32 value);
MODBASE_API BOOL WINAPI WsmSetNodeLong(HWSM_NODE node, const smiINT32* value);

/* Reserved entry points: each returns 0 with error 0. */
MODBASE_API BOOL WINAPI WsmGetNodeList(HWSM_NODE node, UINT selector, LPVOID list);
MODBASE_API BOOL WINAPI WsmGetListElementOid(LPVOID list, UINT index, LPVOID element);
MODBASE_API BOOL WINAPI WsmGetListElementInt(LPVOID list, UINT index, LPVOID element);
MODBASE_API BOOL WINAPI WsmGetListElementList(LPVOID list, UINT index, LPVOID element);
MODBASE_API BOOL WINAPI WsmGetListElementString(LPVOID list, UINT index, smiLPUINT32 size,
                                                LPSTR buffer);
MODBASE_API BOOL WINAPI WsmFindNextListElement(LPVOID list);
MODBASE_API BOOL WINAPI WsmFreeList(LPVOID list);

/* The calling thread's last error. */
MODBASE_API DWORD WINAPI WsmGetLastError(void);

/* Loads the registered module of this identity into the tree: 211 when it
 * is loaded, 294 when its registration is missing or incomplete or names a
 * missing file, 297 when the file cannot be read or is damaged. A failed
 * load leaves nothing of the module behind. */
MODBASE_API BOOL WINAPI WsmLoadModule(LPCSTR identity);
/* Takes the module's nodes out of the tree (with every node below an
 * emptied node, whatever module defines it); 210 when it is not loaded. */
MODBASE_API BOOL WINAPI WsmUnloadModule(LPCSTR identity);

/* Index 0 rereads the registry (280 when no complete registration is
 * left); index n from 1 copies the identity of the n-th registered module.
 * The text is always terminated inside the buffer; 204 when it had to be
 * cut, 281 for a negative index, 282 past the end. */
MODBASE_API BOOL WINAPI WsmEnumRegisteredModule(INT index, LPSTR buffer, UINT size);
/* Index 0 does nothing; index n copies the identity of the n-th loaded
 * module in load order, under the same rules. */
MODBASE_API BOOL WINAPI WsmEnumLoadedModule(INT index, LPSTR buffer, UINT size);

/* Fill the structures; 291 for a null pointer or a wrong dwSize, 3333 when
 * the module is not loaded (the structure is then cleared). */
MODBASE_API BOOL WINAPI WsmGetVendorInfo(LPWSM_VENDOR_INFO info);
MODBASE_API BOOL WINAPI WsmGetModuleInfo(LPCSTR identity, LPWSM_MODULE_INFO info);

#ifdef __cplusplus
}
#endif

#endif
