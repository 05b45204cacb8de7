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
  entity->version = SnmpVersion::v1;
  return entity;
}

Entity* createEntity(Session* session, const char* address, SnmpVersion version) {
  Entity* entity = makeEntity(session, address, nextSerial());
  if (entity) entity->version = version;
  if (entity && registerObject(ObjectKind::entity, &entity->header) != 0) {
    releaseEntity(entity);
    return nullptr;
  }
  return entity;
}

void releaseEntity(Entity* entity) { entityHeap().dispose(entity); }

void releaseAllEntities() {
  while (ObjectHeader* object = firstLive(ObjectKind::entity)) {
    if (retireObject(ObjectKind::entity, object)) releaseEntity(reinterpret_cast<Entity*>(object));
  }
}

}  // namespace netmgr

using namespace netmgr;

extern "C" {

HSNMP_ENTITY SnmpStrToEntity(HSNMP_SESSION sessionHandle, LPCSTR address) {
  return runExport(Live<Session>{sessionHandle}, [&](CallFrame& frame, Session& session) -> HSNMP_ENTITY {
    if (!address) return frame.failWith<HSNMP_ENTITY>(SNMPAPI_ENTITY_UNKNOWN);
    // The translate mode at creation chooses the entity's message format
    // for good; the other two modes keep SNMPv1.
    bool v2c = library().translateMode.load() == SNMPAPI_UNTRANSLATED_V2;
    Entity* entity = createEntity(&session, address, v2c ? SnmpVersion::v2c : SnmpVersion::v1);
    if (!entity) return frame.failWith<HSNMP_ENTITY>(SNMPAPI_ALLOC_ERROR);
    // From now on the session takes SNMPv2c answers and notifications.
    if (v2c) session.speaksV2c.store(true);
    return entity;
  });
}

SNMPAPI_STATUS SnmpEntityToStr(HSNMP_ENTITY handle, smiUINT32 size, LPSTR buffer) {
  return runExport(Live<Entity>{handle}, [&](CallFrame& frame, Entity& entity) -> SNMPAPI_STATUS {
    if (!buffer) return frame.fail(SNMPAPI_OTHER_ERROR);
    if (size < 2) return frame.fail(SNMPAPI_SIZE_INVALID);
    if (!entity.address || !entity.address[0]) return frame.fail(SNMPAPI_ENTITY_INVALID);
    size_t length = std::strlen(entity.address);
    if (length + 1 <= size) {
      std::memcpy(buffer, entity.address, length + 1);
      return SNMPAPI_SUCCESS;
    }
    std::memcpy(buffer, entity.address, size - 2);
    buffer[size - 2] = '\0';
    return frame.fail(SNMPAPI_OUTPUT_TRUNCATED);
  });
}

SNMPAPI_STATUS SnmpFreeEntity(HSNMP_ENTITY handle) {
  return runExport(Taken<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    withdrawRequestsTo(&entity);
    releaseEntity(&entity);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpSetPort(HSNMP_ENTITY handle, UINT port) {
  return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    entity.port = static_cast<uint16_t>(port);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS OvSnmpGetPort(HSNMP_ENTITY handle, UINT* port) {
  return runExport(Live<Entity>{handle}, [&](CallFrame& frame, Entity& entity) -> SNMPAPI_STATUS {
    if (!port) return frame.fail(SNMPAPI_OTHER_ERROR);
    *port = entity.port;
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpGetTimeout(HSNMP_ENTITY handle, smiLPTIMETICKS policyTimeout,
                              smiLPTIMETICKS actualTimeout) {
  return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    if (policyTimeout) *policyTimeout = entity.policyTimeout / 10;
    if (actualTimeout) *actualTimeout = entity.actualTimeout / 10;
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpSetTimeout(HSNMP_ENTITY handle, smiTIMETICKS policyTimeout) {
  return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    entity.policyTimeout = timeoutFromCentiseconds(policyTimeout);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpGetRetry(HSNMP_ENTITY handle, smiLPUINT32 policyRetry, smiLPUINT32 actualRetry) {
  return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    if (policyRetry) *policyRetry = entity.policyRetry;
    if (actualRetry) *actualRetry = entity.actualRetry;
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpSetRetry(HSNMP_ENTITY handle, smiUINT32 policyRetry) {
  return runExport(Live<Entity>{handle}, [&](CallFrame&, Entity& entity) -> SNMPAPI_STATUS {
    entity.policyRetry = policyRetry;
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
