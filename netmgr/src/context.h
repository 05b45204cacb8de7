// Contexts: community strings.
#pragma once

#include "handles.h"
#include "winsnmp.h"

namespace netmgr {

struct Context {
  ObjectHeader header;
  smiUINT32 syntax;      // always SNMP_SYNTAX_OCTETS
  smiUINT32 length;
  smiBYTE* community;    // private copy with one zero octet after it
};

void releaseContext(Context* context);
// Clean-up: releases every context still registered.
void releaseAllContexts();

}  // namespace netmgr
