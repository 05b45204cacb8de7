// The per-class private heaps of udpwire's classes.
#include "udpwire/class_heap.h"

namespace udpwire {

void* classHeapAllocate(ClassHeapState state, size_t bytes) noexcept {
  if (bytes == 0) return nullptr;
  platform::CriticalSectionGuard guard(state.lock);
  state.lockInitialized = 1;
  if (!state.heap) state.heap = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
  if (!state.heap) return nullptr;
  void* block = HeapAlloc(state.heap, HEAP_ZERO_MEMORY, bytes);
  if (block) state.liveAllocations += 1;
  return block;
}

void classHeapRelease(ClassHeapState state, void* block) noexcept {
  if (!block) return;
  platform::CriticalSectionGuard guard(state.lock);
  if (state.heap && HeapFree(state.heap, 0, block)) state.liveAllocations -= 1;
}

void classHeapRemove(ClassHeapState state) noexcept {
  platform::CriticalSectionGuard guard(state.lock);
  state.lockInitialized = 1;
  if (state.heap) HeapDestroy(state.heap);
  state.heap = nullptr;
  state.liveAllocations = 0;
}

}  // namespace udpwire
