// Private heaps on POSIX: a heap is a lock and an intrusive list of the
// blocks it handed out, so that destroying it releases them all, as a
// Windows private heap does.
#include "platform/heap.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr uint64_t kLiveBlock = 0x4f52564845415021ull;  // "ORVHEAP!"

struct HeapRecord;

struct alignas(16) BlockHeader {
  BlockHeader* previous;
  BlockHeader* next;
  HeapRecord* owner;
  uint64_t marker;
};

struct HeapRecord {
  std::mutex lock;
  bool serialized = true;  // false for HEAP_NO_SERIALIZE: the creator locks every call
  BlockHeader* first = nullptr;
};

// Holds the record's lock unless the heap was created with
// HEAP_NO_SERIALIZE, whose creator serialises every call itself (as the
// counted heaps do), so a second lock would only cost time.
std::unique_lock<std::mutex> lockRecord(HeapRecord& record) {
  return record.serialized ? std::unique_lock(record.lock) : std::unique_lock<std::mutex>();
}

std::atomic<long> allocationsBeforeFailure{-1};

// True when the failure injection says this allocation must fail.
bool injectedFailure() {
  long remaining = allocationsBeforeFailure.load();
  while (remaining >= 0) {
    long next = remaining == 0 ? -1 : remaining - 1;
    if (allocationsBeforeFailure.compare_exchange_weak(remaining, next)) return remaining == 0;
  }
  return false;
}

BlockHeader* headerOf(void* block) {
  return reinterpret_cast<BlockHeader*>(static_cast<char*>(block) - sizeof(BlockHeader));
}

}  // namespace

HANDLE HeapCreate(DWORD options, SIZE_T, SIZE_T) {
  auto* record = new (std::nothrow) HeapRecord;
  if (record) record->serialized = !(options & HEAP_NO_SERIALIZE);
  return record;
}

BOOL HeapDestroy(HANDLE heap) {
  auto* record = static_cast<HeapRecord*>(heap);
  if (!record) return FALSE;
  for (BlockHeader* block = record->first; block;) {
    BlockHeader* next = block->next;
    block->marker = 0;
    std::free(block);
    block = next;
  }
  delete record;
  return TRUE;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  auto* record = static_cast<HeapRecord*>(heap);
  if (!record || bytes > SIZE_MAX - sizeof(BlockHeader) || injectedFailure()) return nullptr;
  auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  if (!block) return nullptr;
  void* payload = block + 1;
  if (flags & HEAP_ZERO_MEMORY) std::memset(payload, 0, bytes);
  block->owner = record;
  block->marker = kLiveBlock;
  block->previous = nullptr;
  auto guard = lockRecord(*record);
  block->next = record->first;
  if (record->first) record->first->previous = block;
  record->first = block;
  return payload;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID payload) {
  auto* record = static_cast<HeapRecord*>(heap);
  if (!record || !payload) return FALSE;
  BlockHeader* block = headerOf(payload);
  if (block->owner != record || block->marker != kLiveBlock) return FALSE;
  {
    auto guard = lockRecord(*record);
    if (block->previous) block->previous->next = block->next;
    else record->first = block->next;
    if (block->next) block->next->previous = block->previous;
  }
  block->marker = 0;
  std::free(block);
  return TRUE;
}

namespace platform {

void* CountedHeap::allocate(size_t bytes) noexcept {
  if (bytes == 0) return nullptr;
  std::lock_guard guard(lock_);
  if (!heap_) heap_ = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
  if (!heap_) return nullptr;
  void* block = HeapAlloc(heap_, HEAP_ZERO_MEMORY, bytes);
  if (block) live_.fetch_add(1, std::memory_order_relaxed);
  return block;
}

bool CountedHeap::release(void* block) noexcept {
  if (!block) return false;
  std::lock_guard guard(lock_);
  if (!heap_ || !HeapFree(heap_, 0, block)) return false;
  if (live_.fetch_sub(1, std::memory_order_relaxed) == 1 && whenEmpty_ == WhenEmpty::destroy) {
    HeapDestroy(heap_);
    heap_ = nullptr;
  }
  return true;
}

void CountedHeap::destroy() noexcept {
  std::lock_guard guard(lock_);
  if (heap_) HeapDestroy(heap_);
  heap_ = nullptr;
  live_.store(0, std::memory_order_relaxed);
}

bool CountedHeap::exists() const noexcept {
  std::lock_guard guard(lock_);
  return heap_ != nullptr;
}

void failAllocationAfter(long count) noexcept {
  allocationsBeforeFailure.store(count < 0 ? -1 : count);
}

}  // namespace platform
