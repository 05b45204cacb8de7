// The process-wide library state.
#include "library.h"

namespace netmgr {
namespace {
// Constant-initialised, so it is ready before any code runs and every
// call reaches it without a guard.
constinit Library state;
}  // namespace

Library& library() { return state; }

uint32_t nextSerial() { return state.serialCounter.fetch_add(1) + 1; }

uint32_t reserveSerials(uint32_t count) { return state.serialCounter.fetch_add(count) + 1; }

}  // namespace netmgr
