// Private heaps: every object kind of the suite lives on a heap of its own,
// created on first use, guarded by its own lock and counting live blocks.
#pragma once

#include "platform/export.h"
#include "platform/spin_lock.h"
#include "platform/win32_types.h"

#include <atomic>
#include <cstddef>
#include <new>

#if !defined(_WIN32)
#  define HEAP_NO_SERIALIZE 0x00000001
#  define HEAP_ZERO_MEMORY 0x00000008

// A heap owns every block allocated from it: destroying the heap releases
// them all. Blocks are 16-byte aligned. A freed block of up to 512 octets is
// kept by its heap for the next allocation of its size class, as a
// Windows heap keeps its free lists; destroying the heap releases those
// too.
PLATFORM_API HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
PLATFORM_API BOOL HeapDestroy(HANDLE heap);
PLATFORM_API LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
PLATFORM_API BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
#endif

namespace platform {

// A lazily created private heap with its own lock and live-block count.
// Constant-initialised, so a static instance is usable before main and
// from any thread. A request for 0 bytes yields null; releasing null
// does nothing and reports failure. It has no destructor: the suite's heaps
// live until the process ends; a short-lived one is ended with destroy(),
// which also lets go of the record a heap keeps after it emptied.
//
// A heap with a quarantine holds its freed blocks back from reuse: each
// waits until that many more were freed after it, first in, first out.
// Objects whose addresses are handles live on such heaps, so that a handle
// freed by mistake does not name the next object of its kind at once.
// Quarantined blocks are not counted as live, and releasing one again is
// refused.
class PLATFORM_API CountedHeap {
 public:
  enum class WhenEmpty { keep, destroy };

  constexpr explicit CountedHeap(WhenEmpty whenEmpty = WhenEmpty::keep, size_t quarantine = 0) noexcept
      : whenEmpty_(whenEmpty), quarantine_(quarantine) {}
  CountedHeap(const CountedHeap&) = delete;
  CountedHeap& operator=(const CountedHeap&) = delete;

  // Zeroed block of the given size, or null when memory runs out.
  [[nodiscard]] void* allocate(size_t bytes) noexcept;
  // Returns false for null or for a block the heap refuses.
  bool release(void* block) noexcept;
  // Zeroed blocks of the given sizes (none of them 0) under one hold of
  // the lock, for callers that make many objects at once. All or nothing:
  // false when memory runs out, and then no block is left allocated.
  [[nodiscard]] bool allocateMany(const size_t* sizes, size_t count, void** blocks) noexcept;
  // Releases blocks under one hold of the lock; nulls and refused blocks
  // are skipped. Returns how many were released.
  size_t releaseMany(void* const* blocks, size_t count) noexcept;
  // Destroys the heap with every block still in it; the count becomes 0.
  void destroy() noexcept;

  long liveCount() const noexcept { return live_.load(std::memory_order_relaxed); }
  bool exists() const noexcept;

  // Typed helpers: construct and destroy an object on this heap.
  template <class T, class... Args>
  [[nodiscard]] T* make(Args&&... args) noexcept {
    void* memory = allocate(sizeof(T));
    return memory ? new (memory) T(static_cast<Args&&>(args)...) : nullptr;
  }
  template <class T>
  void dispose(T* object) noexcept {
    if (!object) return;
    object->~T();
    release(object);
  }

 private:
  bool createHeapLocked() noexcept;
  void* allocateLocked(size_t bytes) noexcept;
  bool releaseLocked(void* block) noexcept;
  void destroyIfEmptyLocked() noexcept;

  WhenEmpty whenEmpty_;
  size_t quarantine_;
  mutable SpinLock lock_;
  HANDLE heap_ = nullptr;
  // A heap destroyed when it emptied keeps its record, holding no memory
  // but the record itself, so that re-creating it allocates nothing.
  HANDLE spare_ = nullptr;
  std::atomic<long> live_{0};
};

// Test support: the next `count` allocations from any heap succeed, the one
// after fails, and allocations succeed again afterwards. A negative count
// switches the injection off.
PLATFORM_API void failAllocationAfter(long count) noexcept;

}  // namespace platform
