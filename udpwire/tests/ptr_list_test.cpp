#include "platform/heap.h"
#include "platform/waits.h"
#include "udpwire/ptr_list.h"

#include <gtest/gtest.h>

namespace {

void* item(uintptr_t value) { return reinterpret_cast<void*>(value); }

TEST(PtrList, FirstInFirstOut) {
  CPtrList list(nullptr);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.RemoveHead(), nullptr);
  EXPECT_EQ(list.GetHead(), nullptr);
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_TRUE(list.AddTail(item(i)));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetHead(), item(1));
  EXPECT_EQ(list.GetCount(), 3);  // GetHead leaves it
  for (uintptr_t i = 1; i <= 3; ++i) EXPECT_EQ(list.RemoveHead(), item(i));
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetCount(), 0);
  ASSERT_TRUE(list.AddTail(item(9)));  // usable again after emptying
  EXPECT_EQ(list.RemoveHead(), item(9));
}

TEST(PtrList, FailedNodeAllocationLeavesTheListUnchanged) {
  CPtrList list(nullptr);
  ASSERT_TRUE(list.AddTail(item(1)));
  platform::failAllocationAfter(0);
  EXPECT_FALSE(list.AddTail(item(2)));
  platform::failAllocationAfter(-1);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.RemoveHead(), item(1));
  EXPECT_EQ(list.RemoveHead(), nullptr);
}

TEST(PtrList, AssignmentCopiesEntriesWithoutSharingNodes) {
  CPtrList source(item(7)), copy(nullptr);
  source.AddTail(item(1));
  source.AddTail(item(2));
  copy.AddTail(item(99));
  copy = source;
  EXPECT_EQ(copy.GetCount(), 2);
  EXPECT_EQ(source.RemoveHead(), item(1));
  EXPECT_EQ(copy.RemoveHead(), item(1));
  EXPECT_EQ(copy.RemoveHead(), item(2));
  EXPECT_EQ(source.GetCount(), 1);
}

TEST(PtrList, ClassRegisterAndHeapFollowLiveLists) {
  auto* first = new CPtrList(nullptr);
  auto* second = new CPtrList(nullptr);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(CPtrList::gc_uNumAllocsInHeap, 2u);
  ASSERT_NE(CPtrList::gc_hTreeCPtrList, nullptr);
  uintptr_t key = reinterpret_cast<uintptr_t>(second);
  EXPECT_EQ(TreeFindItem(CPtrList::gc_hTreeCPtrList, TREE_FIND_BY_KEY, &key), second);
  delete second;
  EXPECT_EQ(TreeFindItem(CPtrList::gc_hTreeCPtrList, TREE_FIND_BY_KEY, &key), nullptr);
  delete first;
  EXPECT_EQ(CPtrList::gc_uNumAllocsInHeap, 0u);
  CPtrList::removeHeap();
  EXPECT_EQ(CPtrList::gc_hHeap, nullptr);
}

// One producer, one consumer: every entry comes out once and in order.
TEST(PtrList, ProducerAndConsumerOnTwoThreads) {
  constexpr uintptr_t kEntries = 20000;
  static CPtrList* shared;
  CPtrList list(nullptr);
  shared = &list;
  auto produce = [](LPVOID) -> DWORD {
    for (uintptr_t i = 1; i <= kEntries; ++i)
      while (!shared->AddTail(item(i))) {
      }
    return 0;
  };
  HANDLE producer = CreateThread(nullptr, 0, produce, nullptr, 0, nullptr);
  uintptr_t expected = 1;
  for (int idle = 0; expected <= kEntries && idle < 10000000;) {
    if (list.IsEmpty()) {
      ++idle;
      Sleep(0);  // let the producer run
      continue;
    }
    ASSERT_EQ(list.RemoveHead(), item(expected));
    ++expected;
  }
  EXPECT_EQ(expected, kEntries + 1);
  WaitForSingleObject(producer, 10000);
  CloseHandle(producer);
}

}  // namespace
