// Operations on the sorted table (tqsort) behind a kind-5 tree.
#pragma once

#include "ordmap.h"

namespace ordmap {

constexpr LONG kLiveMarker = 1234;
constexpr LONG kGrowStep = 10;

// A new empty table owned by `owner`, or null when memory runs out.
tqsort* createSortedTable(HTREE owner);
void destroySortedTable(tqsort* table);

[[nodiscard]] bool insertItem(tqsort& table, void* item);
[[nodiscard]] bool removeItem(tqsort& table, void* item);
void removeAllItems(tqsort& table);
void* findItem(const tqsort& table, const void* key);
void* stepTo(const tqsort& table, const LONG* current, LONG* position, SHORT how);

}  // namespace ordmap
