// The heap scheme shared by udpwire's classes: each class allocates its
// instances from a private heap of its own through class-level operator
// new and delete. The lock exists from load time, the heap is created by
// the first allocation, and the class counts its live allocations.
#pragma once

#include "platform/heap.h"
#include "platform/sync.h"
#include "udpwire/export.h"

#include <cstddef>

namespace udpwire {

struct ClassHeapState {
  HANDLE& heap;
  CRITICAL_SECTION& lock;
  BYTE& lockInitialized;
  UINT& liveAllocations;
};

// Null for 0 bytes and when memory runs out.
UDPWIRE_API void* classHeapAllocate(ClassHeapState state, size_t bytes) noexcept;
UDPWIRE_API void classHeapRelease(ClassHeapState state, void* block) noexcept;
// Destroys the heap and zeroes its handle and count.
UDPWIRE_API void classHeapRemove(ClassHeapState state) noexcept;

}  // namespace udpwire

// Declares the class statics and allocation members of the heap scheme.
#define UDPWIRE_CLASS_HEAP_MEMBERS                                     \
 public:                                                               \
  static void* operator new(size_t bytes) noexcept;                    \
  static void operator delete(void* block) noexcept;                   \
  static void removeHeap();                                            \
  static HANDLE gc_hHeap;                                              \
  static CRITICAL_SECTION gc_AllocCs;                                  \
  static BYTE gc_CriticalSectionInitialized;                           \
  static UINT gc_uNumAllocsInHeap;

// Defines them for class `Class` in its source file.
#define UDPWIRE_CLASS_HEAP_DEFINE(Class)                                                    \
  HANDLE Class::gc_hHeap = nullptr;                                                         \
  CRITICAL_SECTION Class::gc_AllocCs;                                                       \
  BYTE Class::gc_CriticalSectionInitialized = 0;                                            \
  UINT Class::gc_uNumAllocsInHeap = 0;                                                      \
  static udpwire::ClassHeapState Class##HeapState() {                                       \
    return {Class::gc_hHeap, Class::gc_AllocCs, Class::gc_CriticalSectionInitialized,      \
            Class::gc_uNumAllocsInHeap};                                                    \
  }                                                                                         \
  void* Class::operator new(size_t bytes) noexcept {                                        \
    return udpwire::classHeapAllocate(Class##HeapState(), bytes);                           \
  }                                                                                         \
  void Class::operator delete(void* block) noexcept {                                       \
    udpwire::classHeapRelease(Class##HeapState(), block);                                   \
  }                                                                                         \
  void Class::removeHeap() { udpwire::classHeapRemove(Class##HeapState()); }
