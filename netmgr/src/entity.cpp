// Entity exports: creation, text, release, port, timeout and retry.
#include "entity.h"

#include "call_frame.h"
#include "outstanding_request.h"
#include "library.h"

#include <cstring>
#include <new>

namespace netmgr {
namespace {

platform::CountedHeap& entityHeap() { return heapOf(ObjectKind::entity); }

// The stored timeout for a value in centiseconds: at least 100 ms, and
// clamped rather than wrapped for values beyond the 32-bit millisecond range.
uint32_t timeoutFromCentiseconds(smiTIMETICKS centiseconds) {
  if (centiseconds <= 10) return 100;
  uint64_t milliseconds = uint64_t{centiseconds} * 10;
  return milliseconds > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(milliseconds);
}

}  // namespace

// One block holds the entity and its text, right after it.
Entity* makeEntity(Session* session, const char* address, uint32_t serial) {
  size_t length = std::strlen(address);
  void* block = entityHeap().allocate(sizeof(Entity) + length + 1);
  if (!block) return nullptr;
  auto* entity = new (block) Entity{};
  char* text = reinterpret_cast<char*>(entity + 1);
  std::memcpy(text, address, length + 1);
  entity->header.session = session;
  entity->header.serial = serial;
  entity->policyTimeout = entity->actualTimeout = kDefaultTimeoutMs;
  entity->policyRetry = entity->actualRetry = kDefaultRetry;
  entity->address = text;
  entity->port = 0;
  return entity;
}

Entity* createEntity(Session* session, const char* address) {
  Entity* entity = makeEntity(session, address, nextSerial());
  if (entity && !registerObject(ObjectKind::entity, &entity->header)) {
    releaseEntity(entity);
    return nullptr;
  }
  return entity;
}

void releaseEntity(Entity* entity) { entityHeap().dispose(entity); }

void releaseAllEntities() {
  for (ObjectHeader* object : liveObjects(ObjectKind::entity)) {
    if (retireObject(ObjectKind::entity, object)) releaseEntity(reinterpret_cast<Entity*>(object));
  }
}

}  // namespace netmgr

using namespace netmgr;

extern "C" {

HSNMP_ENTITY SnmpStrToEntity(HSNMP_SESSION sessionHandle, LPCSTR address) {
  CallFrame frame;
  if (!frame.started()) return nullptr;
  Session* session = frame.session(sessionHandle);
  if (!session) return nullptr;
  frame.beginWork();
  if (!address) return frame.failWith<HSNMP_ENTITY>(SNMPAPI_ENTITY_UNKNOWN);

  Entity* entity = createEntity(session, address);
  if (!entity) return frame.failWith<HSNMP_ENTITY>(SNMPAPI_ALLOC_ERROR);
  return entity;
}

SNMPAPI_STATUS SnmpEntityToStr(HSNMP_ENTITY handle, smiUINT32 size, LPSTR buffer) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (!buffer) return frame.fail(SNMPAPI_OTHER_ERROR);
  if (size < 2) return frame.fail(SNMPAPI_SIZE_INVALID);
  if (!entity->address || !entity->address[0]) return frame.fail(SNMPAPI_ENTITY_INVALID);
  size_t length = std::strlen(entity->address);
  if (length + 1 <= size) {
    std::memcpy(buffer, entity->address, length + 1);
    return SNMPAPI_SUCCESS;
  }
  std::memcpy(buffer, entity->address, size - 2);
  buffer[size - 2] = '\0';
  return frame.fail(SNMPAPI_OUTPUT_TRUNCATED);
}

SNMPAPI_STATUS SnmpFreeEntity(HSNMP_ENTITY handle) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.takeEntity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  withdrawRequestsTo(entity);
  releaseEntity(entity);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetPort(HSNMP_ENTITY handle, UINT port) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  entity->port = static_cast<uint16_t>(port);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS OvSnmpGetPort(HSNMP_ENTITY handle, UINT* port) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (!port) return frame.fail(SNMPAPI_OTHER_ERROR);
  *port = entity->port;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetTimeout(HSNMP_ENTITY handle, smiLPTIMETICKS policyTimeout,
                              smiLPTIMETICKS actualTimeout) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (policyTimeout) *policyTimeout = entity->policyTimeout / 10;
  if (actualTimeout) *actualTimeout = entity->actualTimeout / 10;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetTimeout(HSNMP_ENTITY handle, smiTIMETICKS policyTimeout) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  entity->policyTimeout = timeoutFromCentiseconds(policyTimeout);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetRetry(HSNMP_ENTITY handle, smiLPUINT32 policyRetry, smiLPUINT32 actualRetry) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (policyRetry) *policyRetry = entity->policyRetry;
  if (actualRetry) *actualRetry = entity->actualRetry;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetRetry(HSNMP_ENTITY handle, smiUINT32 policyRetry) {
  CallFrame frame;
  if (!frame.started()) return SNMPAPI_FAILURE;
  Entity* entity = frame.entity(handle);
  if (!entity) return SNMPAPI_FAILURE;
  frame.beginWork();
  entity->policyRetry = policyRetry;
  return SNMPAPI_SUCCESS;
}

}  // extern "C"
