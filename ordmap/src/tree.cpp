// Tree records and the exported Tree functions. Every live tree is on one
// library-wide list (newest at the head) so that TreeCleanup can delete
// them all, oldest first.
#include "ordmap.h"
#include "sorted_table.h"
#include "tree_record.h"

#include "platform/heap.h"
#include "platform/message_box.h"
#include "platform/spin_lock.h"

#include <cstdio>
#include <mutex>

namespace {

platform::CountedHeap treeHeap;

// The list of live trees. The trees themselves are the callers' to
// serialise; the list is shared by all of them, so it has its own lock.
platform::SpinLock treeListLock;
TreeRecord* newestTree = nullptr;
TreeRecord* oldestTree = nullptr;

void linkTree(TreeRecord* tree) {
  std::lock_guard guard(treeListLock);
  tree->previous = nullptr;
  tree->next = newestTree;
  if (newestTree) newestTree->previous = tree;
  newestTree = tree;
  if (!oldestTree) oldestTree = tree;
}

void unlinkTree(TreeRecord* tree) {
  if (tree->previous) tree->previous->next = tree->next;
  else newestTree = tree->next;
  if (tree->next) tree->next->previous = tree->previous;
  else oldestTree = tree->previous;
}

void releaseTree(TreeRecord* tree) {
  ordmap::destroySortedTable(tree->table);
  tree->marker = 0;
  treeHeap.release(tree);
}

tqsort* sortedTableOf(HTREE tree) {
  return tree && tree->kind == TREE_KIND_SORTED_TABLE ? tree->table : nullptr;
}

}  // namespace

extern "C" {

HTREE TreeCreate(SHORT kind) {
  if (kind != TREE_KIND_SORTED_TABLE) return nullptr;
  auto* tree = static_cast<TreeRecord*>(treeHeap.allocate(sizeof(TreeRecord)));
  if (!tree) return nullptr;
  tree->marker = ordmap::kLiveMarker;
  tree->kind = kind;
  tree->table = ordmap::createSortedTable(tree);
  if (!tree->table) {
    treeHeap.release(tree);
    return nullptr;
  }
  linkTree(tree);
  return tree;
}

INT TreeDelete(HTREE tree) {
  if (!tree) return 0;
  {
    std::lock_guard guard(treeListLock);
    unlinkTree(tree);
  }
  releaseTree(tree);
  return 1;
}

INT TreeControl(HTREE tree, LONG code, LONG* value) {
  tqsort* table = sortedTableOf(tree);
  if (!table) return 0;
  switch (code) {
    case TREE_CONTROL_KEY_KIND:
      if (value) table->keyKind = *value;
      return 1;
    case TREE_CONTROL_KEY_OFFSET:
      if (value) table->keyOffset = *value;
      return 1;
    case 3:
    case 4:
      return 1;
    case TREE_CONTROL_FREEZE:
      return table->freezeSort();
    case TREE_CONTROL_UNFREEZE:
      return table->unFreezeSort();
    default:
      return 0;
  }
}

INT TreeInsertItem(HTREE tree, void* item, void*, void**, SHORT, LONG) {
  tqsort* table = sortedTableOf(tree);
  return table && ordmap::insertItem(*table, item) ? 1 : 0;
}

INT TreeDeleteItem(HTREE tree, void* item) {
  tqsort* table = sortedTableOf(tree);
  return table && ordmap::removeItem(*table, item) ? 1 : 0;
}

INT TreeDeleteAllItems(HTREE tree) {
  tqsort* table = sortedTableOf(tree);
  if (!table) return 0;
  ordmap::removeAllItems(*table);
  return 1;
}

INT TreeControlSetItem(HTREE, void*, SHORT) { return 0; }

INT TreeControlGetItem(HTREE, void*, SHORT*) { return 0; }

void* TreeGenerateIndexTable(HTREE, SHORT, LONG**, LONG*) { return nullptr; }

INT TreeDeleteIndexTable(HTREE, void*) { return 0; }

void* TreeFindItem(HTREE tree, SHORT how, const void* key) {
  tqsort* table = sortedTableOf(tree);
  if (!table || how != TREE_FIND_BY_KEY || !key) return nullptr;
  return ordmap::findItem(*table, key);
}

void* TreeGetItem(HTREE tree, const LONG* current, LONG* position, SHORT how) {
  tqsort* table = sortedTableOf(tree);
  return table ? ordmap::stepTo(*table, current, position, how) : nullptr;
}

INT DO_SOMETHING(LONG i) {
  char text[64];
  std::snprintf(text, sizeof text, "DO_SOMETHING 1 i = %d", static_cast<int>(i));
  MessageBoxA(nullptr, text, "DO_SOMETHING", MB_OK);
  return 17;
}

// The list is detached under its lock and released after it: releasing
// frees memory, which is no work for a spin lock's holder.
INT TreeCleanup() {
  TreeRecord* tree = nullptr;
  {
    std::lock_guard guard(treeListLock);
    tree = newestTree;
    newestTree = oldestTree = nullptr;
  }
  while (tree) {
    TreeRecord* next = tree->next;
    releaseTree(tree);
    tree = next;
  }
  return 1;
}

}  // extern "C"
