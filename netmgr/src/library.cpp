// The process-wide library state.
#include "library.h"

namespace netmgr {

Library& library() {
  static Library state;
  return state;
}

uint32_t nextSerial() { return library().serialCounter.fetch_add(1) + 1; }

}  // namespace netmgr
