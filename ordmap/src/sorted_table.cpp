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

// Keys are read as the table's kind says: key kind 2 is a pointer-sized
// unsigned key; every other kind reads a signed 32-bit key. Each
// operation below picks the kind once and then compares plain integers,
// never subtracting them, so the order stays a strict weak order whatever
// the values (the sort relies on that).
template <class Key>
Key readKey(const void* key) {
  Key value;
  std::memcpy(&value, key, sizeof value);
  return value;
}

template <class Key>
Key keyOfItem(const tqsort& table, const void* item) {
  return readKey<Key>(static_cast<const char*>(item) + table.keyOffset);
}

// Calls `operation` with a value of the key type of the table's kind.
template <class Operation>
decltype(auto) withKeyType(const tqsort& table, Operation&& operation) {
  if (table.keyKind == TREE_KEY_POINTER) return operation(uintptr_t{});
  return operation(LONG{});
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
  withKeyType(table, [&](auto type) {
    using Key = decltype(type);
    std::sort(table.array, table.array + table.count, [&](const void* left, const void* right) {
      return keyOfItem<Key>(table, left) < keyOfItem<Key>(table, right);
    });
  });
}

// Where an item of this key goes: after every item whose key is not
// larger. Items mostly arrive in key order (list entries by index), so
// the end is tried first.
template <class Key>
void** placeFor(const tqsort& table, Key key) {
  void** end = table.array + table.count;
  if (table.count == 0 || !(key < keyOfItem<Key>(table, end[-1]))) return end;
  return std::upper_bound(table.array, end, key,
                          [&](Key wanted, const void* item) { return wanted < keyOfItem<Key>(table, item); });
}

// The slot holding exactly this item, or the end. Looks among the items
// with an equal key first; the full scan still finds items whose keys
// changed after they were inserted.
template <class Key>
void** slotOf(const tqsort& table, void* item) {
  void** begin = table.array;
  void** end = table.array + table.count;
  if (!table.frozen) {
    Key key = keyOfItem<Key>(table, item);
    void** slot = std::lower_bound(begin, end, key,
                                   [&](const void* other, Key wanted) { return keyOfItem<Key>(table, other) < wanted; });
    for (; slot != end && !(key < keyOfItem<Key>(table, *slot)); ++slot) {
      if (*slot == item) return slot;
    }
  }
  return std::find(begin, end, item);
}

// The first item if its key matches, else a binary search; a frozen table
// is searched the same way, so a lookup is reliable only while the table
// is sorted.
template <class Key>
void* findKey(const tqsort& table, Key key) {
  LONG count = table.count;
  if (count == 0) return nullptr;
  if (keyOfItem<Key>(table, table.array[0]) == key) return table.array[0];
  if (count == 1) return nullptr;
  LONG low = 0, high = count;
  while (high - low > 1) {
    LONG middle = low + (high - low) / 2;
    Key found = keyOfItem<Key>(table, table.array[middle]);
    if (found == key) return table.array[middle];
    if (key < found) high = middle;
    else low = middle;
  }
  return nullptr;
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
    place = withKeyType(table, [&](auto type) { return placeFor(table, keyOfItem<decltype(type)>(table, item)); });
    if (place != end) std::memmove(place + 1, place, sizeof(void*) * (end - place));
  }
  *place = item;
  table.count += 1;
  return true;
}

bool removeItem(tqsort& table, void* item) {
  void** end = table.array + table.count;
  void** found = withKeyType(table, [&](auto type) { return slotOf<decltype(type)>(table, item); });
  if (found == end) return false;
  if (found + 1 != end) std::memmove(found, found + 1, sizeof(void*) * (end - found - 1));
  table.count -= 1;
  shrinkIfSparse(table);
  return true;
}

void removeAllItems(tqsort& table) {
  table.count = 0;
  shrinkIfSparse(table);
}

void* findItem(const tqsort& table, const void* key) {
  return withKeyType(table, [&](auto type) {
    using Key = decltype(type);
    return findKey<Key>(table, readKey<Key>(key));
  });
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
