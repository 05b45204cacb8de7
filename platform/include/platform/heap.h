// Private heaps: every object kind of the suite lives on a heap of its own,
// created on first use, guarded by its own lock and counting live blocks.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <new>

#if !defined(_WIN32)
#  define HEAP_NO_SERIALIZE 0x00000001
#  define HEAP_ZERO_MEMORY 0x00000008

// A heap owns every block allocated from it: destroying the heap releases
// them all. Blocks are 16-byte aligned.
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
// live until the process ends; a short-lived one is ended with destroy().
class PLATFORM_API CountedHeap {
 public:
  enum class WhenEmpty { keep, destroy };

  constexpr explicit CountedHeap(WhenEmpty whenEmpty = WhenEmpty::keep) noexcept
      : whenEmpty_(whenEmpty) {}
  CountedHeap(const CountedHeap&) = delete;
  CountedHeap& operator=(const CountedHeap&) = delete;

  // Zeroed block of the given size, or null when memory runs out.
  [[nodiscard]] void* allocate(size_t bytes) noexcept;
  // Returns false for null or for a block the heap refuses.
  bool release(void* block) noexcept;
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
  WhenEmpty whenEmpty_;
  mutable std::mutex lock_;
  HANDLE heap_ = nullptr;
  std::atomic<long> live_{0};
};

// Test support: the next `count` allocations from any heap succeed, the one
// after fails, and allocations succeed again afterwards. A negative count
// switches the injection off.
PLATFORM_API void failAllocationAfter(long count) noexcept;

}  // namespace platform
