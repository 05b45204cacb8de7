// Class registers on ordmap sorted tables with pointer-sized keys.
#include "class_register.h"

namespace udpwire {

void registerInstance(ClassRegister classRegister, void* instance) noexcept {
  platform::CriticalSectionGuard guard(classRegister.lock);
  if (!classRegister.table) {
    classRegister.table = TreeCreate(TREE_KIND_SORTED_TABLE);
    if (!classRegister.table) return;
    LONG keyKind = TREE_KEY_POINTER;
    TreeControl(classRegister.table, TREE_CONTROL_KEY_KIND, &keyKind);
  }
  TreeInsertItem(classRegister.table, instance, nullptr, nullptr, 0, 0);
}

void unregisterInstance(ClassRegister classRegister, void* instance) noexcept {
  platform::CriticalSectionGuard guard(classRegister.lock);
  if (!classRegister.table) return;
  TreeDeleteItem(classRegister.table, instance);
  if (classRegister.liveAllocations == 0) {
    TreeDelete(classRegister.table);
    classRegister.table = nullptr;
  }
}

}  // namespace udpwire
