// Contexts: community strings.
#pragma once

#include "handles.h"
#include "winsnmp.h"

namespace netmgr {

struct Context {
  ObjectHeader header;
  smiUINT32 syntax;      // always SNMP_SYNTAX_OCTETS
  smiUINT32 length;
  smiBYTE* community;    // private copy with one zero octet after it, stored after the context
};

// Makes a context of `session` holding a copy of the community octets
// and the given serial number, not yet registered. Null when memory runs
// out.
Context* makeContext(Session* session, const smiBYTE* community, smiUINT32 length, uint32_t serial);
// As makeContext, and registers it.
Context* createContext(Session* session, const smiBYTE* community, smiUINT32 length);
void releaseContext(Context* context);
// Clean-up: releases every context still registered.
void releaseAllContexts();

}  // namespace netmgr
