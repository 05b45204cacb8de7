// Starting and stopping the library, the library-wide modes and the last
// error. Start-up is not counted: one SnmpCleanup stops the library for
// every user in the process.
#include "binding_list.h"
#include "call_frame.h"
#include "context.h"
#include "entity.h"
#include "library.h"
#include "pdu.h"
#include "session.h"
#include "timer_service.h"
#include "trap_catcher.h"
#include "utility_library.h"
#include "varbind.h"

#include "udpwire/cwinsock.h"

#include <cstdio>

namespace netmgr {
namespace {

void storeIfGiven(smiLPUINT32 out, smiUINT32 value) {
  if (out) *out = value;
}

// Start-up steps after the reported values: the timer thread, the handle
// tables, the started flag, and the transport's sockets layer. False when
// the thread or memory is not to be had.
bool startLibrary() {
  Library& state = library();
  if (!startTimerThread()) return false;
  if (!createHandleTables() || !createTrapCatcher()) {
    deleteHandleTables();
    stopTimerThread();
    return false;
  }
  loadUtilityLibrary();
  state.started.store(true);
  if (!state.transport) {
    state.transport = new CWinSock(MAKEWORD(1, 1));
    if (state.transport) state.transport->Startup();
  }
  return true;
}

void releaseAllSessions() {
  for (ObjectHeader* object : liveObjects(ObjectKind::session)) {
    destroySession(reinterpret_cast<Session*>(object));
  }
}

void stopLibrary() {
  Library& state = library();
  state.started.store(false);
  deleteTrapCatcher();
  if (state.transport) {
    state.transport->Shutdown();
    delete state.transport;
    state.transport = nullptr;
  }
  releaseAllEntities();
  releaseAllContexts();
  releaseAllPdus();
  releaseAllLists();
  releaseAllSessions();
  deleteHandleTables();
  stopTimerThread();
  unloadUtilityLibrary();
}

SNMPAPI_STATUS setMode(std::atomic<uint32_t>& mode, smiUINT32 value, smiUINT32 highest) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (value > highest) return frame.fail(SNMPAPI_MODE_INVALID);
  mode.store(value);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS getMode(const std::atomic<uint32_t>& mode, smiLPUINT32 out) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  frame.beginWork();
  storeIfGiven(out, mode.load());
  return SNMPAPI_SUCCESS;
}

}  // namespace
}  // namespace netmgr

using namespace netmgr;

extern "C" {

SNMPAPI_STATUS SnmpStartup(smiLPUINT32 majorVersion, smiLPUINT32 minorVersion, smiLPUINT32 level,
                           smiLPUINT32 translateMode, smiLPUINT32 retransmitMode) {
  Library& state = library();
  state.globalError.store(0);
  storeIfGiven(majorVersion, kMajorVersion);
  storeIfGiven(minorVersion, kMinorVersion);
  storeIfGiven(level, kSupportLevel);
  storeIfGiven(translateMode, state.translateMode.load());
  storeIfGiven(retransmitMode, state.retransmitMode.load());
  std::lock_guard guard(state.lifecycleLock);
  if (state.started.load()) return SNMPAPI_SUCCESS;
  if (!startLibrary()) {
    state.globalError.store(SNMPAPI_ALLOC_ERROR);
    return SNMPAPI_FAILURE;
  }
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpCleanup(void) {
  Library& state = library();
  state.globalError.store(0);
  std::lock_guard guard(state.lifecycleLock);
  if (!state.started.load()) {
    state.globalError.store(SNMPAPI_NOT_INITIALIZED);
    return SNMPAPI_FAILURE;
  }
  stopLibrary();
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetLastError(HSNMP_SESSION sessionHandle) {
  if (library().started.load()) {
    if (auto* session = reinterpret_cast<Session*>(findLive(ObjectKind::session, sessionHandle))) {
      return session->lastError.load();
    }
  }
  return library().globalError.load();
}

SNMPAPI_STATUS SnmpGetTranslateMode(smiLPUINT32 mode) { return getMode(library().translateMode, mode); }

SNMPAPI_STATUS SnmpSetTranslateMode(smiUINT32 mode) {
  return setMode(library().translateMode, mode, SNMPAPI_UNTRANSLATED_V2);
}

SNMPAPI_STATUS SnmpGetRetransmitMode(smiLPUINT32 mode) {
  return getMode(library().retransmitMode, mode);
}

SNMPAPI_STATUS SnmpSetRetransmitMode(smiUINT32 mode) {
  return setMode(library().retransmitMode, mode, SNMPAPI_ON);
}

SNMPAPI_STATUS OvSnmpDebugSetLevel(smiUINT32 level) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  library().debugLevel.store(level);
  return SNMPAPI_SUCCESS;
}

// Counts the live objects of every kind; at a debug level above 0 the
// counts go to stderr.
SNMPAPI_STATUS OvSnmpDebugOutputHandles(void) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  long sessions = countLive(ObjectKind::session), entities = countLive(ObjectKind::entity),
       contexts = countLive(ObjectKind::context), pdus = countLive(ObjectKind::pdu),
       lists = countLive(ObjectKind::list), varbinds = liveVarbinds();
  if (library().debugLevel.load() > 0) {
    std::fprintf(stderr,
                 "netmgr handles: %ld sessions, %ld entities, %ld contexts, %ld PDUs, "
                 "%ld lists, %ld varbinds\n",
                 sessions, entities, contexts, pdus, lists, varbinds);
  }
  return SNMPAPI_SUCCESS;
}

}  // extern "C"
