#include "platform/heap.h"

#include <gtest/gtest.h>

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
