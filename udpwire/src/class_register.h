// The register of a class's live instances: a sorted table keyed by the
// instance's first field, which holds its own address. The class heap's
// lock guards it, since sorted tables are not safe for concurrent use.
#pragma once

#include "ordmap.h"
#include "platform/sync.h"

namespace udpwire {

struct ClassRegister {
  HTREE& table;
  CRITICAL_SECTION& lock;
  const UINT& liveAllocations;
};

// Creates the table with the first instance; an instance that cannot be
// registered (out of memory) still works, it is only not listed.
void registerInstance(ClassRegister classRegister, void* instance) noexcept;
// Removes the instance; deletes the table when the class heap is empty.
void unregisterInstance(ClassRegister classRegister, void* instance) noexcept;

}  // namespace udpwire
