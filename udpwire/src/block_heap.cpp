#include "block_heap.h"

#include "platform/heap.h"

namespace udpwire {
namespace {

constinit platform::CountedHeap blocks{platform::CountedHeap::WhenEmpty::destroy};

}  // namespace

void* blockAllocate(size_t bytes) noexcept { return blocks.allocate(bytes); }

void blockRelease(void* block) noexcept { blocks.release(block); }

long blockCount() noexcept { return blocks.liveCount(); }

}  // namespace udpwire
