// Building the SNMPv1 trap and sending it.
#include "trap_sender.h"

#include <cstring>

namespace alertcast {
namespace {

// The handles of the send. The list and the PDU go as soon as the trap is
// handed over; the session stays open, so that its socket can still write
// the trap, until SnmpCleanup releases it with its entities and context.
class TrapHandles {
 public:
  ~TrapHandles() {
    if (pdu) SnmpFreePdu(pdu);
    if (list) SnmpFreeVbl(list);
  }

  HSNMP_SESSION session = nullptr;
  HSNMP_ENTITY manager = nullptr;
  HSNMP_ENTITY source = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_VBL list = nullptr;
  HSNMP_PDU pdu = nullptr;
};

smiOID viewOf(const Oid& oid) { return {static_cast<smiUINT32>(oid.size()), const_cast<smiUINT32*>(oid.data())}; }

// The entities and the context, with no retransmission: a trap goes once.
bool openEndpoints(TrapHandles& handles, const Settings& settings) {
  handles.manager = SnmpStrToEntity(handles.session, settings.managerAddress.c_str());
  handles.source = SnmpStrToEntity(handles.session, "0.0.0.0");
  smiOCTETS community{static_cast<smiUINT32>(settings.community.size()),
                      reinterpret_cast<smiLPBYTE>(const_cast<char*>(settings.community.data()))};
  handles.context = SnmpStrToContext(handles.session, &community);
  if (!handles.manager || !handles.source || !handles.context) return false;
  for (HSNMP_ENTITY entity : {handles.manager, handles.source}) {
    SnmpSetRetry(entity, 0);
    SnmpSetTimeout(entity, 0);
  }
  if (settings.managerPort) SnmpSetPort(handles.manager, settings.managerPort);
  SnmpSetRetransmitMode(SNMPAPI_ON);
  return true;
}

bool buildPdu(TrapHandles& handles, const Settings& settings, const TrapContents& contents) {
  handles.list = SnmpCreateVbl(handles.session, nullptr, nullptr);
  if (!handles.list) return false;
  for (const Binding& binding : contents.bindings) {
    smiOID name = viewOf(binding.name);
    if (!SnmpSetVb(handles.list, 0, &name, &binding.value.get())) return false;
  }
  handles.pdu = SnmpCreatePdu(handles.session, SNMP_PDU_V1TRAP, 1, 0, 0, handles.list);
  if (!handles.pdu) return false;
  smiOID enterprise = viewOf(contents.enterprise);
  smiBYTE address[4];
  std::memcpy(address, contents.agentAddress, sizeof address);
  smiOCTETS agentAddress{4, address};
  return SnmpSetV1TrapPduData(handles.pdu, &enterprise, &agentAddress, &settings.genericTrap, &settings.specificTrap,
                              &contents.timeStamp) != 0;
}

}  // namespace

SendOutcome sendTrap(HWND window, const Settings& settings, const TrapContents& contents, uint32_t& error) {
  TrapHandles handles;
  handles.session = SnmpOpen(window, kNotificationMessage);
  if (!handles.session) return SendOutcome::noSession;
  if (!openEndpoints(handles, settings) || !buildPdu(handles, settings, contents) ||
      !SnmpSendMsg(handles.session, handles.source, handles.manager, handles.context, handles.pdu)) {
    error = SnmpGetLastError(handles.session);
    return SendOutcome::refused;
  }
  return SendOutcome::sent;
}

}  // namespace alertcast
