// The sorted table: a growable array of item pointers in ascending key
// order. The array grows and shrinks in steps of 10 slots, with 15 free
// slots of hysteresis before it shrinks.
#include "sorted_table.h"

#include "platform/heap.h"

#include <algorithm>
#include <cstring>

namespace ordmap {
namespace {

platform::CountedHeap tableHeap;
// Item arrays share one heap that goes away whenever it is empty.
platform::CountedHeap arrayHeap{platform::CountedHeap::WhenEmpty::destroy};

// Three-way order of two keys of the table's kind. Key kind 2 is a
// pointer-sized unsigned key; every other kind reads a signed 32-bit key.
// The keys are compared, never subtracted, so the order stays a strict
// weak order whatever the values (the sort relies on that).
int compareKeys(const tqsort& table, const void* leftKey, const void* rightKey) {
  if (table.keyKind == TREE_KEY_POINTER) {
    uintptr_t left, right;
    std::memcpy(&left, leftKey, sizeof left);
    std::memcpy(&right, rightKey, sizeof right);
    return left < right ? -1 : left > right ? 1 : 0;
  }
  LONG left, right;
  std::memcpy(&left, leftKey, sizeof left);
  std::memcpy(&right, rightKey, sizeof right);
  return left < right ? -1 : left > right ? 1 : 0;
}

const void* keyOf(const tqsort& table, const void* item) {
  return static_cast<const char*>(item) + table.keyOffset;
}

int compareItems(const tqsort& table, const void* left, const void* right) {
  return compareKeys(table, keyOf(table, left), keyOf(table, right));
}

// Moves the items into a fresh array of `slots` slots. False (and nothing
// changed) when the allocation fails.
bool resizeArray(tqsort& table, LONG slots) {
  auto* fresh = static_cast<void**>(arrayHeap.allocate(sizeof(void*) * slots));
  if (!fresh) return false;
  if (table.count > 0) std::memcpy(fresh, table.array, sizeof(void*) * table.count);
  arrayHeap.release(table.array);
  table.array = fresh;
  table.capacity = slots;
  return true;
}

// After a removal: give back slots in steps of 10 once 15 or more are free,
// leaving the multiple of 10 above count and at most count + 10.
void shrinkIfSparse(tqsort& table) {
  if (table.capacity - table.count < 15) return;
  LONG step = kGrowStep;
  while (table.count < table.capacity - step - kGrowStep) step += kGrowStep;
  if (table.count < table.capacity - step) resizeArray(table, table.capacity - step);
}

void sortAll(tqsort& table) {
  std::sort(table.array, table.array + table.count,
            [&](const void* left, const void* right) { return compareItems(table, left, right) < 0; });
}

}  // namespace

tqsort* createSortedTable(HTREE owner) {
  auto* table = static_cast<tqsort*>(tableHeap.allocate(sizeof(tqsort)));
  if (!table) return nullptr;
  table->array = static_cast<void**>(arrayHeap.allocate(sizeof(void*) * kGrowStep));
  if (!table->array) {
    tableHeap.release(table);
    return nullptr;
  }
  table->capacity = kGrowStep;
  table->count = 0;
  table->owner = owner;
  table->frozen = 0;
  table->marker = kLiveMarker;
  table->keyKind = TREE_KEY_INT32;
  table->keyOffset = 0;
  return table;
}

void destroySortedTable(tqsort* table) {
  if (!table) return;
  arrayHeap.release(table->array);
  table->marker = 0;
  tableHeap.release(table);
}

// Appends, then (unless frozen) moves the item to its place: the result is
// the sorted array a full sort would give, in one pass.
bool insertItem(tqsort& table, void* item) {
  if (table.count >= table.capacity && !resizeArray(table, table.capacity + kGrowStep)) return false;
  void** end = table.array + table.count;
  void** place = end;
  if (!table.frozen) {
    place = std::upper_bound(table.array, end, item, [&](const void* left, const void* right) {
      return compareItems(table, left, right) < 0;
    });
    std::memmove(place + 1, place, sizeof(void*) * (end - place));
  }
  *place = item;
  table.count += 1;
  return true;
}

bool removeItem(tqsort& table, void* item) {
  void** begin = table.array;
  void** end = table.array + table.count;
  void** found = end;
  if (!table.frozen) {
    // Look among the items with an equal key first; the full scan below
    // still finds items whose keys changed after they were inserted.
    auto [low, high] = std::equal_range(begin, end, item, [&](const void* left, const void* right) {
      return compareItems(table, left, right) < 0;
    });
    found = std::find(low, high, item);
    if (found == high) found = end;
  }
  if (found == end) found = std::find(begin, end, item);
  if (found == end) return false;
  std::memmove(found, found + 1, sizeof(void*) * (end - found - 1));
  table.count -= 1;
  shrinkIfSparse(table);
  return true;
}

void removeAllItems(tqsort& table) {
  table.count = 0;
  shrinkIfSparse(table);
}

// Binary search; a frozen table is searched the same way, so a lookup is
// reliable only while the table is sorted.
void* findItem(const tqsort& table, const void* key) {
  LONG count = table.count;
  if (count == 0) return nullptr;
  if (compareKeys(table, key, keyOf(table, table.array[0])) == 0) return table.array[0];
  if (count == 1) return nullptr;
  LONG low = 0, high = count;
  while (high - low > 1) {
    LONG middle = low + (high - low) / 2;
    int order = compareKeys(table, key, keyOf(table, table.array[middle]));
    if (order == 0) return table.array[middle];
    if (order < 0) high = middle;
    else low = middle;
  }
  return nullptr;
}

void* stepTo(const tqsort& table, const LONG* current, LONG* position, SHORT how) {
  auto finish = [&](LONG index) -> void* {
    if (position) *position = index;
    return index >= 0 ? table.array[index] : nullptr;
  };
  if (how == TREE_GET_FIRST || how == TREE_GET_LAST) {
    if (table.count == 0) return finish(-1);
    return finish(how == TREE_GET_FIRST ? 0 : table.count - 1);
  }
  if (how == TREE_GET_NEXT || how == TREE_GET_PREVIOUS) {
    if (!current) return finish(-1);
    int64_t index = int64_t{*current} + (how == TREE_GET_NEXT ? 1 : -1);
    if (index < 0 || index >= table.count) return finish(-1);
    return finish(static_cast<LONG>(index));
  }
  if (position) *position = 0;
  return nullptr;
}

}  // namespace ordmap

int tqsort::freezeSort() {
  frozen = 1;
  return 1;
}

int tqsort::unFreezeSort() {
  frozen = 0;
  ordmap::sortAll(*this);
  return 1;
}
