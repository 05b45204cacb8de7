// SnmpRegister: notifications for a session.
#include "call_frame.h"
#include "session.h"
#include "trap_catcher.h"

using namespace netmgr;

extern "C" {

// Registers (SNMPAPI_ON) or unregisters (SNMPAPI_OFF) the session for every
// trap; the filter arguments are not used. The first call starts the trap
// catcher on the calling thread, which must then dispatch messages; when
// that fails nothing changes and the error is 102. Any other state: 16.
SNMPAPI_STATUS SnmpRegister(HSNMP_SESSION sessionHandle, HSNMP_ENTITY, HSNMP_ENTITY, HSNMP_CONTEXT, smiLPCOID,
                            smiUINT32 state) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Session* session = frame.session(sessionHandle);
  if (!session) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (state != SNMPAPI_ON && state != SNMPAPI_OFF) return frame.fail(SNMPAPI_MODE_INVALID);
  if (uint32_t error = startTrapCatcher()) return frame.fail(error);
  session->registered.store(state == SNMPAPI_ON);
  return SNMPAPI_SUCCESS;
}

}  // extern "C"
