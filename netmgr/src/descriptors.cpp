// The descriptor heap.
#include "descriptors.h"

#include "platform/heap.h"

namespace netmgr {
namespace {
platform::CountedHeap descriptorHeap{platform::CountedHeap::WhenEmpty::destroy};
}

void* allocateDescriptor(size_t bytes) { return descriptorHeap.allocate(bytes); }

bool releaseDescriptor(void* buffer) { return descriptorHeap.release(buffer); }

long liveDescriptors() { return descriptorHeap.liveCount(); }

}  // namespace netmgr
