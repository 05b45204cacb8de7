#include "platform/heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace {

TEST(CountedHeap, CountsLiveBlocksAndZeroesThem) {
  platform::CountedHeap heap;
  EXPECT_FALSE(heap.exists());
  auto* first = static_cast<unsigned char*>(heap.allocate(64));
  void* second = heap.allocate(8);
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(heap.exists());
  EXPECT_EQ(heap.liveCount(), 2);
  EXPECT_EQ(std::memcmp(first, std::vector<unsigned char>(64).data(), 64), 0);
  EXPECT_TRUE(heap.release(first));
  EXPECT_EQ(heap.liveCount(), 1);
  EXPECT_TRUE(heap.release(second));
  EXPECT_EQ(heap.liveCount(), 0);
  heap.destroy();
}

TEST(CountedHeap, ZeroBytesAndNullAreRefused) {
  platform::CountedHeap heap;
  EXPECT_EQ(heap.allocate(0), nullptr);
  EXPECT_FALSE(heap.release(nullptr));
  EXPECT_EQ(heap.liveCount(), 0);
}

TEST(CountedHeap, RefusesBlocksOfAnotherHeap) {
  platform::CountedHeap one, other;
  void* block = one.allocate(16);
  EXPECT_FALSE(other.release(block));
  EXPECT_TRUE(one.release(block));
  one.destroy();
}

TEST(CountedHeap, DestroyWhenEmptyRemovesTheHeapWithItsLastBlock) {
  platform::CountedHeap heap{platform::CountedHeap::WhenEmpty::destroy};
  void* block = heap.allocate(16);
  ASSERT_TRUE(heap.exists());
  heap.release(block);
  EXPECT_FALSE(heap.exists());
  void* again = heap.allocate(16);
  EXPECT_TRUE(heap.exists());
  heap.release(again);
  heap.destroy();  // an emptied heap keeps its record until then
}

// The heap keeps its record between lives, never its blocks: the sanitizer
// build reports a block handed out again after it went back to the system.
TEST(CountedHeap, AHeapMadeAgainAfterEmptyingHandsOutOnlyFreshZeroedBlocks) {
  platform::CountedHeap heap{platform::CountedHeap::WhenEmpty::destroy, 2};
  const size_t sizes[] = {16, 48, 600};
  for (int life = 0; life < 3; ++life) {
    std::vector<void*> blocks;
    for (size_t size : sizes) {
      void* block = heap.allocate(size);
      ASSERT_NE(block, nullptr);
      auto* bytes = static_cast<unsigned char*>(block);
      EXPECT_TRUE(std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; })) << "life " << life;
      std::memset(block, 0xff, size);
      blocks.push_back(block);
    }
    EXPECT_EQ(heap.liveCount(), 3);
    // Freed blocks wait in the quarantine, then in the free lists.
    EXPECT_TRUE(heap.release(blocks[0]));
    void* next = heap.allocate(16);
    EXPECT_NE(next, blocks[0]);
    blocks[0] = next;
    for (void* block : blocks) EXPECT_TRUE(heap.release(block));
    EXPECT_FALSE(heap.exists());
    EXPECT_EQ(heap.liveCount(), 0);
  }
  heap.destroy();
}

TEST(CountedHeap, DestroyReleasesEveryBlockAndZeroesTheCount) {
  platform::CountedHeap heap;
  for (int i = 0; i < 10; ++i) (void)heap.allocate(100);
  heap.destroy();  // the sanitizer build reports a leak if blocks survive
  EXPECT_EQ(heap.liveCount(), 0);
  EXPECT_FALSE(heap.exists());
}

TEST(CountedHeap, InjectedFailureHitsExactlyOneAllocation) {
  platform::CountedHeap heap;
  platform::failAllocationAfter(1);
  void* first = heap.allocate(8);
  void* second = heap.allocate(8);
  void* third = heap.allocate(8);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(heap.liveCount(), 2);
  heap.destroy();
}

TEST(CountedHeap, ManyThreadsKeepAnExactCount) {
  platform::CountedHeap heap;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&heap] {
      std::vector<void*> blocks;
      for (int i = 0; i < 500; ++i) blocks.push_back(heap.allocate(32));
      for (int i = 0; i < 250; ++i) heap.release(blocks[i]);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(heap.liveCount(), 4 * 250);
  heap.destroy();
}

TEST(CountedHeap, AFreedBlockIsReusedZeroedForItsSizeClass) {
  platform::CountedHeap heap;
  auto* first = static_cast<unsigned char*>(heap.allocate(40));
  ASSERT_NE(first, nullptr);
  std::memset(first, 0xAB, 40);
  EXPECT_TRUE(heap.release(first));
  auto* again = static_cast<unsigned char*>(heap.allocate(33));
  EXPECT_EQ(again, first);  // 33 and 40 octets share a size class
  EXPECT_EQ(std::memcmp(again, std::vector<unsigned char>(33).data(), 33), 0);
  EXPECT_EQ(heap.liveCount(), 1);
  EXPECT_TRUE(heap.release(again));
  EXPECT_EQ(heap.liveCount(), 0);
  heap.destroy();
}

// A small block stays with its heap after release, so a second release
// is recognised and refused.
TEST(CountedHeap, AReleasedSmallBlockCannotBeReleasedTwice) {
  platform::CountedHeap heap;
  void* block = heap.allocate(24);
  void* other = heap.allocate(24);
  EXPECT_TRUE(heap.release(block));
  EXPECT_FALSE(heap.release(block));
  EXPECT_EQ(heap.liveCount(), 1);
  EXPECT_TRUE(heap.release(other));
  heap.destroy();
}

// With a quarantine of four, a freed block comes back only after four
// more were freed; meanwhile it is neither live nor releasable.
TEST(CountedHeap, AQuarantinedBlockIsReusedOnlyAfterItsTurn) {
  platform::CountedHeap heap{platform::CountedHeap::WhenEmpty::keep, 4};
  void* held = heap.allocate(40);
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(heap.release(held));
  EXPECT_EQ(heap.liveCount(), 0);
  EXPECT_FALSE(heap.release(held));
  for (int turn = 0; turn < 4; ++turn) {
    void* other = heap.allocate(40);
    EXPECT_NE(other, held) << "turn " << turn;
    EXPECT_TRUE(heap.release(other));
  }
  EXPECT_EQ(heap.allocate(40), held);
  EXPECT_EQ(heap.liveCount(), 1);
  heap.destroy();  // the sanitizer build reports a leak if quarantined blocks survive
}

TEST(CountedHeap, DestroyReleasesCachedBlocksToo) {
  platform::CountedHeap heap;
  std::vector<void*> blocks;
  for (size_t size = 1; size <= 4096; size *= 2) blocks.push_back(heap.allocate(size));
  for (void* block : blocks) EXPECT_TRUE(heap.release(block));
  EXPECT_EQ(heap.liveCount(), 0);
  EXPECT_TRUE(heap.exists());
  heap.destroy();  // the sanitizer build reports a leak if cached blocks survive
  EXPECT_FALSE(heap.exists());
}

TEST(CountedHeap, AllocatesAndReleasesManyAtOnce) {
  platform::CountedHeap heap;
  size_t sizes[] = {8, 100, 3000};
  void* blocks[3] = {};
  ASSERT_TRUE(heap.allocateMany(sizes, 3, blocks));
  EXPECT_EQ(heap.liveCount(), 3);
  for (size_t index = 0; index < 3; ++index) {
    ASSERT_NE(blocks[index], nullptr);
    EXPECT_EQ(std::memcmp(blocks[index], std::vector<unsigned char>(sizes[index]).data(), sizes[index]), 0);
  }
  void* withNull[] = {blocks[0], nullptr, blocks[1], blocks[2]};
  EXPECT_EQ(heap.releaseMany(withNull, 4), 3u);
  EXPECT_EQ(heap.liveCount(), 0);
  heap.destroy();
}

TEST(CountedHeap, AllocatingManyIsAllOrNothing) {
  platform::CountedHeap heap{platform::CountedHeap::WhenEmpty::destroy};
  size_t sizes[] = {16, 16, 16};
  void* blocks[3] = {};
  platform::failAllocationAfter(2);
  EXPECT_FALSE(heap.allocateMany(sizes, 3, blocks));
  platform::failAllocationAfter(-1);
  EXPECT_EQ(heap.liveCount(), 0);
  EXPECT_FALSE(heap.exists());
  ASSERT_TRUE(heap.allocateMany(sizes, 3, blocks));
  EXPECT_EQ(heap.releaseMany(blocks, 3), 3u);
  EXPECT_FALSE(heap.exists());
  heap.destroy();
}

// Without HEAP_NO_SERIALIZE a heap locks every call itself; the counted
// heaps, which lock around it, create theirs with the flag.
TEST(PrivateHeap, ASerializedHeapTakesConcurrentCallers) {
  HANDLE heap = HeapCreate(0, 0, 0);
  ASSERT_NE(heap, nullptr);
  std::vector<std::thread> threads;
  for (int worker = 0; worker < 4; ++worker) {
    threads.emplace_back([heap] {
      for (int round = 0; round < 500; ++round) {
        void* block = HeapAlloc(heap, HEAP_ZERO_MEMORY, 24);
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(HeapFree(heap, 0, block));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(HeapDestroy(heap));
}

}  // namespace
