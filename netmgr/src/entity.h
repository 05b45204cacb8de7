// Entities: agent addresses with their timeout, retry count and port.
// Timeouts are kept in milliseconds and given in centiseconds at the
// interface.
#pragma once

#include "handles.h"
#include "snmp_version.h"

#include <cstdint>

namespace netmgr {

struct Entity {
  ObjectHeader header;
  uint32_t policyTimeout;  // milliseconds
  uint32_t actualTimeout;  // milliseconds
  uint32_t policyRetry;
  uint32_t actualRetry;
  char* address;           // the text exactly as given, stored after the entity
  uint16_t port;           // 0: the message kind's default port
  SnmpVersion version;     // the message format sent to it, or it arrived in
};

constexpr uint32_t kDefaultTimeoutMs = 5000;
constexpr uint32_t kDefaultRetry = 4;

// Makes an SNMPv1 entity of `session` with the initial settings, a copy of
// `address` and the given serial number, not yet registered. Null when
// memory runs out.
Entity* makeEntity(Session* session, const char* address, uint32_t serial);
// As makeEntity, of the given version, and registers it.
Entity* createEntity(Session* session, const char* address, SnmpVersion version);
// Releases an entity that was retired from its table or never registered.
void releaseEntity(Entity* entity);
// Clean-up: releases every entity still registered.
void releaseAllEntities();

}  // namespace netmgr
