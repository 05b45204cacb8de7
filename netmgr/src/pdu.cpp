// PDUs and their exports: creation, reading and setting the fields,
// duplication, release and the SNMPv1 trap fields.
#include "pdu.h"

#include "binding_list.h"
#include "call_frame.h"
#include "library.h"
#include "values.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace netmgr {
namespace {

platform::CountedHeap& pduHeap() { return heapOf(ObjectKind::pdu); }

// The GetBulk PDU keeps its third and fourth values as bulk counts.
void storeThirdAndFourth(Pdu& pdu, smiINT third, smiINT fourth) {
  if (pdu.type == SNMP_PDU_GETBULK) {
    pdu.nonRepeaters = third;
    pdu.maxRepetitions = fourth;
  } else {
    pdu.errorStatus = third;
    pdu.errorIndex = fourth;
  }
}

void clearNumbers(Pdu& pdu) {
  pdu.requestId = pdu.errorStatus = pdu.errorIndex = 0;
  pdu.nonRepeaters = pdu.maxRepetitions = 0;
}

smiINT valueOr(const smiINT* pointer, smiINT fallback) { return pointer ? *pointer : fallback; }

// The agent address keeps exactly 4 octets; a shorter descriptor is
// padded with zeros rather than read past its end.
[[nodiscard]] uint32_t storeAgentAddress(Pdu& pdu, const smiOCTETS& address) {
  auto* copy = static_cast<smiLPBYTE>(pduHeap().allocate(4));
  if (!copy) return SNMPAPI_ALLOC_ERROR;
  if (address.ptr) std::memcpy(copy, address.ptr, std::min<smiUINT32>(address.len, 4));
  pduHeap().release(pdu.agentAddress.ptr);
  pdu.agentAddress = {4, copy};
  return 0;
}

// An enterprise with a length but no buffer is stored empty.
[[nodiscard]] uint32_t storeEnterprise(Pdu& pdu, const smiOID& enterprise) {
  smiOID copy;
  smiOID usable{enterprise.ptr ? enterprise.len : 0, enterprise.ptr};
  if (uint32_t error = copyOid(pduHeap(), usable, copy)) return error;
  releaseOid(pduHeap(), pdu.enterprise);
  pdu.enterprise = copy;
  return 0;
}

// The setter's rules (SnmpSetPduData), shared with duplication. Returns 0
// or the error; on failure the PDU is unchanged.
[[nodiscard]] uint32_t setPduData(Pdu& pdu, const smiINT* type, const smiINT32* requestId, const smiINT* third,
                    const smiINT* fourth, const HSNMP_VBL* list) {
  if (type && !isPduType(*type)) return SNMPAPI_PDU_INVALID;
  if (type) pdu.type = *type;
  clearNumbers(pdu);
  pdu.requestId = requestId && *requestId ? *requestId : freshRequestId();
  storeThirdAndFourth(pdu, valueOr(third, 0), valueOr(fourth, 0));
  if (list) pdu.list = *list;
  return 0;
}

}  // namespace

bool isPduType(smiINT type) { return type >= SNMP_PDU_GET && type <= SNMP_PDU_TRAP; }

// The serial counter may wrap to 0, which is no request id.
smiINT32 freshRequestId() {
  auto id = static_cast<smiINT32>(nextSerial());
  if (id == 0) id = std::rand();
  return id ? id : 12;
}

Pdu* makePdu(Session* session, uint32_t serial) {
  Pdu* pdu = pduHeap().make<Pdu>();
  if (!pdu) return nullptr;
  pdu->header.session = session;
  pdu->header.serial = serial;
  return pdu;
}

Pdu* createPdu(Session* session) {
  Pdu* pdu = makePdu(session, nextSerial());
  if (pdu && registerObject(ObjectKind::pdu, &pdu->header) != 0) {
    pduHeap().dispose(pdu);
    return nullptr;
  }
  return pdu;
}

uint32_t fillPdu(Pdu& pdu, smiINT type, smiINT32 requestId, smiINT third, smiINT fourth, HSNMP_VBL list) {
  if (type != 0 && !isPduType(type)) return SNMPAPI_PDU_INVALID;
  pdu.type = type;
  clearNumbers(pdu);
  pdu.requestId = requestId ? requestId : freshRequestId();
  storeThirdAndFourth(pdu, third, fourth);
  if (list) pdu.list = list;
  return 0;
}

void releasePdu(Pdu* pdu) {
  releaseOid(pduHeap(), pdu->enterprise);
  pduHeap().release(pdu->agentAddress.ptr);
  pduHeap().dispose(pdu);
}

void releaseAllPdus() {
  while (ObjectHeader* object = firstLive(ObjectKind::pdu)) {
    if (retireObject(ObjectKind::pdu, object)) releasePdu(reinterpret_cast<Pdu*>(object));
  }
}

}  // namespace netmgr

using namespace netmgr;

namespace {

void discardPdu(Pdu* pdu) {
  if (retireObject(ObjectKind::pdu, &pdu->header)) releasePdu(pdu);
}

}  // namespace

extern "C" {

// A new PDU referring to a live list. On failure nothing is left behind.
HSNMP_PDU SnmpCreatePdu(HSNMP_SESSION sessionHandle, smiINT type, smiINT32 requestId,
                        smiINT errorStatus, smiINT errorIndex, HSNMP_VBL listHandle) {
  return runExport(Live<Session>{sessionHandle}, Live<BindingList>{listHandle},
                   [&](CallFrame& frame, Session& session, BindingList&) -> HSNMP_PDU {
                     Pdu* pdu = createPdu(&session);
                     if (!pdu) return frame.failWith<HSNMP_PDU>(SNMPAPI_ALLOC_ERROR);
                     if (uint32_t error = fillPdu(*pdu, type, requestId, errorStatus, errorIndex, listHandle)) {
                       discardPdu(pdu);
                       return frame.failWith<HSNMP_PDU>(error);
                     }
                     return pdu;
                   });
}

// Stores each field whose output is given; GetBulk reports its (zero)
// error fields, not its bulk counts.
SNMPAPI_STATUS SnmpGetPduData(HSNMP_PDU pduHandle, smiLPINT type, smiLPINT32 requestId,
                              smiLPINT errorStatus, smiLPINT errorIndex, LPHSNMP_VBL list) {
  return runExport(Live<Pdu>{pduHandle}, [&](CallFrame& frame, Pdu& pdu) -> SNMPAPI_STATUS {
    if (!type && !requestId && !errorStatus && !errorIndex && !list) return frame.fail(SNMPAPI_NOOP);
    if (type) *type = pdu.type;
    if (requestId) *requestId = pdu.requestId;
    if (errorStatus) *errorStatus = pdu.errorStatus;
    if (errorIndex) *errorIndex = pdu.errorIndex;
    if (list) *list = pdu.list;
    return SNMPAPI_SUCCESS;
  });
}

// Replaces the given fields; request id and the error or bulk fields are
// cleared first. A given list must be live. On failure the PDU is
// unchanged.
SNMPAPI_STATUS SnmpSetPduData(HSNMP_PDU pduHandle, const smiINT* type, const smiINT32* requestId,
                              const smiINT* nonRepeaters, const smiINT* maxRepetitions,
                              const HSNMP_VBL* list) {
  return runExport(Live<Pdu>{pduHandle}, [&](CallFrame& frame, Pdu& pdu) -> SNMPAPI_STATUS {
    if (list && !frame.live<BindingList>(*list)) return SNMPAPI_FAILURE;
    if (uint32_t error = setPduData(pdu, type, requestId, nonRepeaters, maxRepetitions, list)) {
      return frame.fail(error);
    }
    return SNMPAPI_SUCCESS;
  });
}

// A copy owned by `session`, made through the setter's rules; the SNMPv1
// trap fields are not copied. On failure nothing is left behind.
HSNMP_PDU SnmpDuplicatePdu(HSNMP_SESSION sessionHandle, HSNMP_PDU pduHandle) {
  return runExport(Live<Pdu>{pduHandle}, Live<Session>{sessionHandle},
                   [&](CallFrame& frame, Pdu& source, Session& session) -> HSNMP_PDU {
                     if (!findLive(ObjectKind::list, source.list)) {
                       return frame.failWith<HSNMP_PDU>(SNMPAPI_VBL_INVALID);
                     }
                     Pdu* copy = createPdu(&session);
                     if (!copy) return frame.failWith<HSNMP_PDU>(SNMPAPI_ALLOC_ERROR);
                     Pdu fields = source;
                     if (uint32_t error = setPduData(*copy, &fields.type, &fields.requestId, &fields.errorStatus,
                                                     &fields.errorIndex, &fields.list)) {
                       discardPdu(copy);
                       return frame.failWith<HSNMP_PDU>(error);
                     }
                     return copy;
                   });
}

// Releases the PDU and its trap buffers; its binding list stays.
SNMPAPI_STATUS SnmpFreePdu(HSNMP_PDU pduHandle) {
  return runExport(Taken<Pdu>{pduHandle}, [&](CallFrame&, Pdu& pdu) -> SNMPAPI_STATUS {
    releasePdu(&pdu);
    return SNMPAPI_SUCCESS;
  });
}

// Makes the PDU an SNMPv1 trap and stores the given trap fields. Fails
// only when memory for a copy runs out; the fields stored so far stay.
SNMPAPI_STATUS SnmpSetV1TrapPduData(HSNMP_PDU pduHandle, smiLPCOID enterprise,
                                    smiLPCOCTETS agentAddress, const smiINT* genericTrap,
                                    const smiINT* specificTrap, const smiTIMETICKS* timeStamp) {
  return runExport(Live<Pdu>{pduHandle}, [&](CallFrame& frame, Pdu& pdu) -> SNMPAPI_STATUS {
    pdu.type = SNMP_PDU_V1TRAP;
    if (genericTrap) pdu.genericTrap = *genericTrap;
    if (specificTrap) pdu.specificTrap = *specificTrap;
    if (timeStamp) pdu.timeStamp = *timeStamp;
    if (agentAddress) {
      if (uint32_t error = storeAgentAddress(pdu, *agentAddress)) return frame.fail(error);
    }
    if (enterprise) {
      if (uint32_t error = storeEnterprise(pdu, *enterprise)) return frame.fail(error);
    }
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
