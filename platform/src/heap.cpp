// Private heaps on POSIX: a heap is a lock, an intrusive list of the
// blocks it handed out and free lists of the small blocks given back, so
// that destroying it releases them all, as a Windows private heap does.
// Reusing a freed block costs a few pointer moves instead of a trip
// through malloc and free.
#include "platform/heap.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#  define PLATFORM_HEAP_POISONS 1
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer)
#    define PLATFORM_HEAP_POISONS 1
#  endif
#endif
#if defined(PLATFORM_HEAP_POISONS)
#  include <sanitizer/asan_interface.h>
#endif

namespace {

constexpr uint32_t kLiveBlock = 0x4f524856;        // "ORHV"
constexpr uint32_t kCachedBlock = 0x4f524843;      // "ORHC"
constexpr uint32_t kQuarantinedBlock = 0x4f524851;  // "ORHQ"

// Blocks are kept in size classes of 16 octets up to kLargestCached;
// larger ones go straight back to the system. The bound keeps a heap's
// record small, since the descriptor heap is made and destroyed again
// whenever its last block goes.
constexpr size_t kClassStep = 16;
constexpr size_t kLargestCached = 512;
constexpr size_t kSizeClasses = kLargestCached / kClassStep + 1;
constexpr uint32_t kUncached = 0;
// A heap keeps at most this much in its free lists; beyond it, freed
// blocks are released, so a burst does not pin its peak for good.
constexpr size_t kMostCachedBytes = 512 * 1024;

struct HeapRecord;

struct alignas(16) BlockHeader {
  BlockHeader* previous;  // live blocks: the heap's list; cached: unused
  BlockHeader* next;      // live blocks: the heap's list; cached: its free list
  HeapRecord* owner;
  uint32_t marker;
  uint32_t sizeClass;  // kUncached, or the free list it goes back to
};

struct HeapRecord {
  std::mutex lock;
  bool serialized = true;  // false for HEAP_NO_SERIALIZE: the creator locks every call
  BlockHeader* first = nullptr;
  BlockHeader* cached[kSizeClasses] = {};
  uint64_t cachedClasses = 0;  // bit n set while cached[n] holds a block
  size_t cachedBytes = 0;
  // Freed blocks held back from reuse: a ring of quarantineSize slots, the
  // oldest at quarantineNext (empty slots are null).
  BlockHeader** quarantine = nullptr;
  size_t quarantineSize = 0;
  size_t quarantineNext = 0;
};

// Holds the record's lock unless the heap was created with
// HEAP_NO_SERIALIZE, whose creator serialises every call itself (as the
// counted heaps do), so a second lock would only cost time.
std::unique_lock<std::mutex> lockRecord(HeapRecord& record) {
  return record.serialized ? std::unique_lock(record.lock) : std::unique_lock<std::mutex>();
}

std::atomic<long> allocationsBeforeFailure{-1};

// True when the failure injection says this allocation must fail. Nearly
// every allocation runs with the injection off, which one load tells.
bool injectedFailure() {
  long remaining = allocationsBeforeFailure.load(std::memory_order_relaxed);
  while (remaining >= 0) {
    long next = remaining == 0 ? -1 : remaining - 1;
    if (allocationsBeforeFailure.compare_exchange_weak(remaining, next)) return remaining == 0;
  }
  return false;
}

BlockHeader* headerOf(void* block) {
  return reinterpret_cast<BlockHeader*>(static_cast<char*>(block) - sizeof(BlockHeader));
}

size_t capacityOf(uint32_t sizeClass) { return sizeClass * kClassStep; }

uint32_t sizeClassOf(size_t bytes) {
  return bytes <= kLargestCached ? static_cast<uint32_t>((bytes + kClassStep - 1) / kClassStep) : kUncached;
}

// In the sanitizer build a cached block is unaddressable, and a block in
// use is addressable exactly for the octets asked for.
void markCached(BlockHeader* block) {
#if defined(PLATFORM_HEAP_POISONS)
  ASAN_POISON_MEMORY_REGION(block + 1, capacityOf(block->sizeClass));
#else
  (void)block;
#endif
}

void markInUse(BlockHeader* block, size_t bytes) {
#if defined(PLATFORM_HEAP_POISONS)
  if (block->sizeClass != kUncached) {
    ASAN_POISON_MEMORY_REGION(block + 1, capacityOf(block->sizeClass));
    ASAN_UNPOISON_MEMORY_REGION(block + 1, bytes);
  }
#else
  (void)block;
  (void)bytes;
#endif
}

BlockHeader* takeCached(HeapRecord& record, uint32_t sizeClass) {
  BlockHeader* block = sizeClass == kUncached ? nullptr : record.cached[sizeClass];
  if (!block) return nullptr;
  record.cached[sizeClass] = block->next;
  if (!block->next) record.cachedClasses &= ~(uint64_t{1} << sizeClass);
  record.cachedBytes -= capacityOf(sizeClass);
  return block;
}

BlockHeader* allocateFresh(uint32_t sizeClass, size_t bytes) {
  size_t capacity = sizeClass == kUncached ? bytes : capacityOf(sizeClass);
  auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + capacity));
  if (block) block->sizeClass = sizeClass;
  return block;
}

// Keeps a freed block for reuse when its class is cached and the heap's
// free lists have room; otherwise gives it back to the system.
void cacheOrFree(HeapRecord& record, BlockHeader* block) {
  size_t capacity = capacityOf(block->sizeClass);
  if (block->sizeClass == kUncached || record.cachedBytes + capacity > kMostCachedBytes) {
    block->marker = 0;
    std::free(block);
    return;
  }
  block->marker = kCachedBlock;
  block->next = record.cached[block->sizeClass];
  record.cached[block->sizeClass] = block;
  record.cachedClasses |= uint64_t{1} << block->sizeClass;
  record.cachedBytes += capacity;
  markCached(block);
}

// Puts a freed block in the quarantine and lets the oldest one go on to
// the free lists. Without a quarantine the block goes there at once.
void quarantineOrCache(HeapRecord& record, BlockHeader* block) {
  if (record.quarantineSize == 0) {
    cacheOrFree(record, block);
    return;
  }
  BlockHeader*& slot = record.quarantine[record.quarantineNext];
  BlockHeader* oldest = slot;
  slot = block;
  if (++record.quarantineNext == record.quarantineSize) record.quarantineNext = 0;
  block->marker = kQuarantinedBlock;
  markCached(block);
  if (oldest) cacheOrFree(record, oldest);
}

void freeChain(BlockHeader* block) {
  while (block) {
    BlockHeader* next = block->next;
    block->marker = 0;
    std::free(block);
    block = next;
  }
}

// Gives every block of the heap back to the system, live, cached and
// quarantined alike; the record stays, empty, ready to serve again.
void releaseAllBlocks(HeapRecord& record) {
  freeChain(record.first);
  record.first = nullptr;
  for (uint64_t classes = record.cachedClasses; classes; classes &= classes - 1) {
    BlockHeader*& chain = record.cached[__builtin_ctzll(classes)];
    freeChain(chain);
    chain = nullptr;
  }
  record.cachedClasses = 0;
  record.cachedBytes = 0;
  for (size_t slot = 0; slot < record.quarantineSize; ++slot) {
    std::free(record.quarantine[slot]);
    record.quarantine[slot] = nullptr;
  }
  record.quarantineNext = 0;
}

// A block for `bytes` octets, linked into the heap's list; null when
// memory runs out. The caller holds the heap's lock where it has one.
inline void* allocateBlock(HeapRecord& record, DWORD flags, size_t bytes) {
  if (bytes > SIZE_MAX - sizeof(BlockHeader) || injectedFailure()) return nullptr;
  uint32_t sizeClass = sizeClassOf(bytes);
  BlockHeader* block = takeCached(record, sizeClass);
  if (!block) block = allocateFresh(sizeClass, bytes);
  if (!block) return nullptr;
  markInUse(block, bytes);
  void* payload = block + 1;
  if (flags & HEAP_ZERO_MEMORY) std::memset(payload, 0, bytes);
  block->owner = &record;
  block->marker = kLiveBlock;
  block->previous = nullptr;
  block->next = record.first;
  if (record.first) record.first->previous = block;
  record.first = block;
  return payload;
}

// Unlinks a live block of this heap and caches or frees it; false for a
// block that is not one.
inline bool freeBlock(HeapRecord& record, void* payload) {
  BlockHeader* block = headerOf(payload);
  if (block->owner != &record || block->marker != kLiveBlock) return false;
  if (block->previous) block->previous->next = block->next;
  else record.first = block->next;
  if (block->next) block->next->previous = block->previous;
  quarantineOrCache(record, block);
  return true;
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
  releaseAllBlocks(*record);
  delete[] record->quarantine;
  delete record;
  return TRUE;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  auto* record = static_cast<HeapRecord*>(heap);
  if (!record) return nullptr;
  auto guard = lockRecord(*record);
  return allocateBlock(*record, flags, bytes);
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID payload) {
  auto* record = static_cast<HeapRecord*>(heap);
  if (!record || !payload) return FALSE;
  auto guard = lockRecord(*record);
  return freeBlock(*record, payload) ? TRUE : FALSE;
}

namespace platform {

// A counted heap's own lock serialises its record, so it calls the block
// functions directly rather than through HeapAlloc and HeapFree.
// Creates the heap on first use, with its quarantine; a heap whose
// quarantine cannot be had works without one.
bool CountedHeap::createHeapLocked() noexcept {
  if (spare_) {
    heap_ = spare_;
    spare_ = nullptr;
    return true;
  }
  auto* record = static_cast<HeapRecord*>(HeapCreate(HEAP_NO_SERIALIZE, 0, 0));
  if (!record) return false;
  if (quarantine_ > 0) {
    record->quarantine = new (std::nothrow) BlockHeader*[quarantine_]();
    if (record->quarantine) record->quarantineSize = quarantine_;
  }
  heap_ = record;
  return true;
}

void* CountedHeap::allocateLocked(size_t bytes) noexcept {
  if (!heap_ && !createHeapLocked()) return nullptr;
  void* block = allocateBlock(*static_cast<HeapRecord*>(heap_), HEAP_ZERO_MEMORY, bytes);
  // Only the lock holder writes the count, so no atomic increment is needed.
  if (block) live_.store(live_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  return block;
}

bool CountedHeap::releaseLocked(void* block) noexcept {
  if (!heap_ || !freeBlock(*static_cast<HeapRecord*>(heap_), block)) return false;
  live_.store(live_.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
  return true;
}

void CountedHeap::destroyIfEmptyLocked() noexcept {
  if (whenEmpty_ == WhenEmpty::destroy && heap_ && live_.load(std::memory_order_relaxed) == 0) {
    releaseAllBlocks(*static_cast<HeapRecord*>(heap_));
    spare_ = heap_;
    heap_ = nullptr;
  }
}

void* CountedHeap::allocate(size_t bytes) noexcept {
  if (bytes == 0) return nullptr;
  std::lock_guard guard(lock_);
  return allocateLocked(bytes);
}

bool CountedHeap::release(void* block) noexcept {
  if (!block) return false;
  std::lock_guard guard(lock_);
  if (!releaseLocked(block)) return false;
  destroyIfEmptyLocked();
  return true;
}

bool CountedHeap::allocateMany(const size_t* sizes, size_t count, void** blocks) noexcept {
  if (count == 0) return true;
  std::lock_guard guard(lock_);
  if (!heap_ && !createHeapLocked()) return false;
  auto& record = *static_cast<HeapRecord*>(heap_);
  for (size_t made = 0; made < count; ++made) {
    blocks[made] = sizes[made] ? allocateBlock(record, HEAP_ZERO_MEMORY, sizes[made]) : nullptr;
    if (blocks[made]) continue;
    for (size_t undone = 0; undone < made; ++undone) freeBlock(record, blocks[undone]);
    if (live_.load(std::memory_order_relaxed) == 0) destroyIfEmptyLocked();
    return false;
  }
  live_.store(live_.load(std::memory_order_relaxed) + static_cast<long>(count), std::memory_order_relaxed);
  return true;
}

size_t CountedHeap::releaseMany(void* const* blocks, size_t count) noexcept {
  std::lock_guard guard(lock_);
  if (!heap_) return 0;
  auto& record = *static_cast<HeapRecord*>(heap_);
  size_t released = 0;
  for (size_t index = 0; index < count; ++index) {
    if (blocks[index] && freeBlock(record, blocks[index])) ++released;
  }
  live_.store(live_.load(std::memory_order_relaxed) - static_cast<long>(released), std::memory_order_relaxed);
  if (released) destroyIfEmptyLocked();
  return released;
}

void CountedHeap::destroy() noexcept {
  std::lock_guard guard(lock_);
  if (heap_) HeapDestroy(heap_);
  if (spare_) HeapDestroy(spare_);
  heap_ = spare_ = nullptr;
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
