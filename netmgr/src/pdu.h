// PDUs: type, request id, error or bulk fields, a reference to a binding
// list, and the SNMPv1 trap fields.
#pragma once

#include "handles.h"
#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

struct Pdu {
  ObjectHeader header;
  smiINT type;  // 0 (no type yet) or SNMP_PDU_GET .. SNMP_PDU_TRAP
  smiINT32 requestId;
  smiINT errorStatus;
  smiINT errorIndex;
  smiINT nonRepeaters;    // GetBulk only
  smiINT maxRepetitions;  // GetBulk only
  HSNMP_VBL list;         // a reference: the PDU never frees it
  // SNMPv1 trap fields.
  smiINT genericTrap;
  smiINT specificTrap;
  smiTIMETICKS timeStamp;
  smiOID enterprise;          // private copy
  smiOCTETS agentAddress;     // private copy of 4 octets
};

// SNMP_PDU_GET .. SNMP_PDU_TRAP; Report (0xA8) is never accepted.
bool isPduType(smiINT type);
// The next serial number as a request id, never 0.
smiINT32 freshRequestId();

// Makes a PDU of `session` with every field clear and the given serial
// number, not yet registered. Null when memory runs out.
Pdu* makePdu(Session* session, uint32_t serial);
// As makePdu, and registers it.
Pdu* createPdu(Session* session);
// Fills a PDU as SnmpCreatePdu does: a non-zero type must be a PDU type
// (error 12 otherwise, nothing changed); a request id of 0 gets a fresh
// one; the third and fourth values are the bulk counts for GetBulk and the
// error status and index otherwise. Returns 0 or 12.
[[nodiscard]] uint32_t fillPdu(Pdu& pdu, smiINT type, smiINT32 requestId, smiINT third, smiINT fourth,
                           HSNMP_VBL list);
// Releases a PDU that was retired from its table or never registered; its
// list stays.
void releasePdu(Pdu* pdu);
// Clean-up: releases every PDU still registered.
void releaseAllPdus();

}  // namespace netmgr
