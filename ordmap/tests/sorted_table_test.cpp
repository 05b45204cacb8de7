#include "ordmap.h"
#include "platform/heap.h"
#include "platform/message_box.h"
#include "tree_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

struct Item {
  LONG key;
  int tag;
};

struct PointerItem {
  void* padding;
  uintptr_t key;
};

class SortedTable : public testing::Test {
 protected:
  void SetUp() override { tree = TreeCreate(TREE_KIND_SORTED_TABLE); }
  void TearDown() override { TreeDelete(tree); }

  tqsort& table() { return *tree->table; }
  void insert(Item& item) { ASSERT_EQ(TreeInsertItem(tree, &item, nullptr, nullptr, 0, 0), 1); }
  std::vector<LONG> keysInOrder() {
    std::vector<LONG> keys;
    for (LONG i = 0; i < table().count; ++i) keys.push_back(static_cast<Item*>(table().array[i])->key);
    return keys;
  }

  HTREE tree = nullptr;
};

TEST_F(SortedTable, StartsEmptyWithTenSlots) {
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(table().capacity, 10);
  EXPECT_EQ(table().count, 0);
  EXPECT_EQ(table().keyKind, TREE_KEY_INT32);
  EXPECT_EQ(table().frozen, 0);
}

TEST_F(SortedTable, GrowsByTenAndShrinksWithFifteenFreeSlots) {
  std::vector<Item> items(11);
  for (int i = 0; i < 11; ++i) {
    items[i].key = i;
    insert(items[i]);
  }
  EXPECT_EQ(table().capacity, 20);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(TreeDeleteItem(tree, &items[i]), 1);
  EXPECT_EQ(table().count, 6);
  EXPECT_EQ(table().capacity, 20);  // 14 free: not yet
  EXPECT_EQ(TreeDeleteItem(tree, &items[5]), 1);
  EXPECT_EQ(table().capacity, 10);  // 20 - 5 = 15 free
}

TEST_F(SortedTable, DeleteAllShrinksToTenSlots) {
  std::vector<Item> items(35);
  for (auto& item : items) insert(item);
  EXPECT_EQ(table().capacity, 40);
  EXPECT_EQ(TreeDeleteAllItems(tree), 1);
  EXPECT_EQ(table().count, 0);
  EXPECT_EQ(table().capacity, 10);
}

TEST_F(SortedTable, KeepsItemsInKeyOrderWhateverTheInsertionOrder) {
  std::vector<Item> items(200);
  std::mt19937 random(7);
  for (auto& item : items) item.key = static_cast<LONG>(random() % 100) - 50;
  for (auto& item : items) insert(item);
  std::vector<LONG> keys = keysInOrder();
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(keys.size(), 200u);
}

TEST_F(SortedTable, ExtremeKeysSortAsSignedIntegers) {
  Item low{INT_MIN, 0}, high{INT_MAX, 0}, zero{0, 0};
  insert(high);
  insert(low);
  insert(zero);
  EXPECT_EQ(keysInOrder(), (std::vector<LONG>{INT_MIN, 0, INT_MAX}));
  LONG sought = INT_MIN;
  EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &sought), &low);
}

TEST_F(SortedTable, FindsByKeyOnlyWithSearchCode14) {
  std::vector<Item> items(25);
  for (int i = 0; i < 25; ++i) {
    items[i].key = i * 3;
    insert(items[i]);
  }
  for (int i = 0; i < 25; ++i) {
    LONG key = i * 3;
    EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &key), &items[i]);
    LONG missing = key + 1;
    EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &missing), nullptr);
  }
  LONG present = 9;
  EXPECT_EQ(TreeFindItem(tree, 13, &present), nullptr);
}

TEST_F(SortedTable, FindOnEmptyAndSingleItemTables) {
  LONG key = 4;
  EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &key), nullptr);
  Item only{5, 0};
  insert(only);
  EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &key), nullptr);
  key = 5;
  EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &key), &only);
}

TEST_F(SortedTable, RemovesTheIdenticalPointerNotAnEqualKey) {
  Item stored{7, 1}, twin{7, 2};
  insert(stored);
  EXPECT_EQ(TreeDeleteItem(tree, &twin), 0);
  EXPECT_EQ(table().count, 1);
  EXPECT_EQ(TreeDeleteItem(tree, &stored), 1);
  EXPECT_EQ(TreeDeleteItem(tree, &stored), 0);
}

TEST_F(SortedTable, RemovesAmongManyEqualKeys) {
  std::vector<Item> items(30);
  for (int i = 0; i < 30; ++i) {
    items[i] = {i % 3, i};
    insert(items[i]);
  }
  for (int i = 29; i >= 0; --i) ASSERT_EQ(TreeDeleteItem(tree, &items[i]), 1) << i;
  EXPECT_EQ(table().count, 0);
}

TEST_F(SortedTable, FindsItemsAfterTheKeyOffsetChanged) {
  Item first{1, 30}, second{2, 10};
  insert(first);
  insert(second);
  LONG offset = offsetof(Item, tag);
  TreeControl(tree, TREE_CONTROL_KEY_OFFSET, &offset);  // no re-sort
  EXPECT_EQ(TreeDeleteItem(tree, &first), 1);
  EXPECT_EQ(TreeDeleteItem(tree, &second), 1);
}

TEST_F(SortedTable, FrozenTableAppendsUntilUnfrozen) {
  Item a{3, 0}, b{1, 0}, c{2, 0};
  EXPECT_EQ(TreeControl(tree, TREE_CONTROL_FREEZE, nullptr), 1);
  insert(a);
  insert(b);
  insert(c);
  EXPECT_EQ(keysInOrder(), (std::vector<LONG>{3, 1, 2}));
  EXPECT_EQ(table().unFreezeSort(), 1);
  EXPECT_EQ(keysInOrder(), (std::vector<LONG>{1, 2, 3}));
  EXPECT_EQ(table().freezeSort(), 1);
  EXPECT_EQ(table().frozen, 1);
  EXPECT_EQ(TreeControl(tree, TREE_CONTROL_UNFREEZE, nullptr), 1);
  EXPECT_EQ(table().frozen, 0);
}

TEST_F(SortedTable, ControlCodes) {
  LONG value = 0;
  EXPECT_EQ(TreeControl(tree, 3, &value), 1);
  EXPECT_EQ(TreeControl(tree, 4, &value), 1);
  EXPECT_EQ(TreeControl(tree, 7, &value), 0);
  value = 8;
  EXPECT_EQ(TreeControl(tree, TREE_CONTROL_KEY_OFFSET, &value), 1);
  EXPECT_EQ(table().keyOffset, 8);
  value = TREE_KEY_POINTER;
  EXPECT_EQ(TreeControl(tree, TREE_CONTROL_KEY_KIND, &value), 1);
  EXPECT_EQ(table().keyKind, TREE_KEY_POINTER);
}

TEST_F(SortedTable, PointerKeysCompareAsUnsignedIntegers) {
  LONG kind = TREE_KEY_POINTER, offset = offsetof(PointerItem, key);
  TreeControl(tree, TREE_CONTROL_KEY_KIND, &kind);
  TreeControl(tree, TREE_CONTROL_KEY_OFFSET, &offset);
  PointerItem high{nullptr, UINTPTR_MAX}, middle{nullptr, uintptr_t{1} << 63}, low{nullptr, 1};
  for (PointerItem* item : {&middle, &high, &low}) TreeInsertItem(tree, item, nullptr, nullptr, 0, 0);
  EXPECT_EQ(table().array[0], &low);
  EXPECT_EQ(table().array[1], &middle);
  EXPECT_EQ(table().array[2], &high);
  uintptr_t sought = UINTPTR_MAX;
  EXPECT_EQ(TreeFindItem(tree, TREE_FIND_BY_KEY, &sought), &high);
}

TEST_F(SortedTable, StepsFirstLastNextPrevious) {
  LONG position = 99;
  EXPECT_EQ(TreeGetItem(tree, nullptr, &position, TREE_GET_FIRST), nullptr);
  EXPECT_EQ(position, -1);
  Item a{1, 0}, b{2, 0}, c{3, 0};
  insert(a);
  insert(b);
  insert(c);
  EXPECT_EQ(TreeGetItem(tree, nullptr, &position, TREE_GET_FIRST), &a);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(TreeGetItem(tree, &position, &position, TREE_GET_NEXT), &b);
  EXPECT_EQ(TreeGetItem(tree, &position, &position, TREE_GET_NEXT), &c);
  EXPECT_EQ(TreeGetItem(tree, &position, &position, TREE_GET_NEXT), nullptr);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(TreeGetItem(tree, nullptr, &position, TREE_GET_LAST), &c);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(TreeGetItem(tree, &position, &position, TREE_GET_PREVIOUS), &b);
  position = 0;
  EXPECT_EQ(TreeGetItem(tree, &position, &position, TREE_GET_PREVIOUS), nullptr);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(TreeGetItem(tree, nullptr, &position, TREE_GET_NEXT), nullptr);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(TreeGetItem(tree, nullptr, &position, 3), nullptr);
  EXPECT_EQ(position, 0);
  LONG huge = INT_MAX;
  EXPECT_EQ(TreeGetItem(tree, &huge, &position, TREE_GET_NEXT), nullptr);
  EXPECT_EQ(TreeGetItem(tree, nullptr, nullptr, TREE_GET_LAST), &c);
}

TEST_F(SortedTable, EmptyingByTakingTheLastItem) {
  std::vector<Item> items(12);
  for (auto& item : items) insert(item);
  while (void* last = TreeGetItem(tree, nullptr, nullptr, TREE_GET_LAST)) TreeDeleteItem(tree, last);
  EXPECT_EQ(table().count, 0);
}

TEST_F(SortedTable, FailedGrowthLeavesTheTableUnchanged) {
  std::vector<Item> items(11);
  for (int i = 0; i < 10; ++i) insert(items[i]);
  platform::failAllocationAfter(0);
  EXPECT_EQ(TreeInsertItem(tree, &items[10], nullptr, nullptr, 0, 0), 0);
  EXPECT_EQ(table().count, 10);
  EXPECT_EQ(table().capacity, 10);
  EXPECT_EQ(TreeInsertItem(tree, &items[10], nullptr, nullptr, 0, 0), 1);
}

TEST(TreeKinds, OnlySortedTablesAreBuilt) {
  EXPECT_EQ(TreeCreate(7), nullptr);
  EXPECT_EQ(TreeCreate(TREE_KIND_OUTLINE), nullptr);
  HTREE tree = TreeCreate(TREE_KIND_SORTED_TABLE);
  SHORT state = 0;
  LONG* array = nullptr;
  LONG count = 0;
  EXPECT_EQ(TreeControlSetItem(tree, nullptr, 4), 0);
  EXPECT_EQ(TreeControlGetItem(tree, nullptr, &state), 0);
  EXPECT_EQ(TreeGenerateIndexTable(tree, 0, &array, &count), nullptr);
  EXPECT_EQ(TreeDeleteIndexTable(tree, nullptr), 0);
  EXPECT_EQ(TreeDelete(tree), 1);
  EXPECT_EQ(TreeDelete(nullptr), 0);
}

TEST(TreeCleanup, DeletesEveryLiveTree) {
  for (int i = 0; i < 5; ++i) {
    HTREE tree = TreeCreate(TREE_KIND_SORTED_TABLE);
    static Item item{1, 0};
    TreeInsertItem(tree, &item, nullptr, nullptr, 0, 0);
  }
  EXPECT_EQ(TreeCleanup(), 1);  // the leak checker of the sanitizer build verifies the release
  EXPECT_EQ(TreeCleanup(), 1);
}

std::string shownText;
int recordBox(HWND, const char* text, const char* caption, unsigned) {
  shownText = std::string(caption) + "|" + text;
  return IDOK;
}

TEST(DoSomething, ShowsTheNumberAndReturns17) {
  platform::setMessageBoxHook(recordBox);
  EXPECT_EQ(DO_SOMETHING(-42), 17);
  EXPECT_EQ(shownText, "DO_SOMETHING|DO_SOMETHING 1 i = -42");
  platform::setMessageBoxHook(nullptr);
}

}  // namespace
