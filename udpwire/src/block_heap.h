// The block heap shared by the whole library: data copies, receive
// buffers and write requests. It is destroyed whenever its last block is
// released and made again on demand. It is not destroyed at unload: the
// engine threads live until the process ends and may still use it.
#pragma once

#include <cstddef>

namespace udpwire {

// Null for 0 bytes and when memory runs out.
void* blockAllocate(size_t bytes) noexcept;
// Releasing null does nothing.
void blockRelease(void* block) noexcept;
long blockCount() noexcept;

}  // namespace udpwire
