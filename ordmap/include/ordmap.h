// ordmap: sorted tables of caller-owned items, kept in ascending order of
// an integer key that lies at a fixed offset inside each item. Callers
// bind these functions by ordinal (see ordmap.def).
//
// Only the sorted table (kind 5) is built. The outline kind (10) is not:
// TreeCreate(10) returns null and the outline-only functions return 0.
#pragma once

#include "platform/win32_types.h"

#if defined(_WIN32)
#  if defined(ORDMAP_BUILD)
#    define ORDMAP_API __declspec(dllexport)
#  else
#    define ORDMAP_API __declspec(dllimport)
#  endif
#else
#  define ORDMAP_API __attribute__((visibility("default")))
#endif
#define TREEAPI WINAPI

struct TreeRecord;
typedef TreeRecord* HTREE;

// Kinds of collection.
#define TREE_KIND_SORTED_TABLE 5
#define TREE_KIND_OUTLINE 10

// TreeControl codes.
#define TREE_CONTROL_KEY_KIND 1
#define TREE_CONTROL_KEY_OFFSET 2
#define TREE_CONTROL_FREEZE 5
#define TREE_CONTROL_UNFREEZE 6

// Key kinds: a signed 32-bit key, or a pointer-sized key compared as an
// unsigned integer (object addresses on 64-bit systems).
#define TREE_KEY_INT32 1
#define TREE_KEY_POINTER 2

// TreeFindItem's only search code.
#define TREE_FIND_BY_KEY 14

// TreeGetItem step codes.
#define TREE_GET_FIRST 1
#define TREE_GET_LAST 2
#define TREE_GET_NEXT 4
#define TREE_GET_PREVIOUS 7

// The sorted table behind a kind-5 handle.
class tqsort {
 public:
  // Suspends sorting: insertions only append until unFreezeSort. Returns 1.
  ORDMAP_API int TREEAPI freezeSort();
  // Resumes sorting and sorts the whole table once at once. Returns 1.
  ORDMAP_API int TREEAPI unFreezeSort();

  LONG capacity;
  LONG count;
  HTREE owner;
  void** array;
  LONG frozen;
  LONG marker;
  LONG keyKind;
  LONG keyOffset;
};

extern "C" {

// Creates an empty sorted table (kind 5). Null for any other kind and
// when memory runs out.
ORDMAP_API HTREE TREEAPI TreeCreate(SHORT kind);
// Frees the table array (never the items) and the tree. 0 for null.
ORDMAP_API INT TREEAPI TreeDelete(HTREE tree);
// Sets the key kind (1) or offset (2), freezes (5) or unfreezes (6).
// Codes 3 and 4 do nothing and succeed; others, and outline handles, give 0.
ORDMAP_API INT TREEAPI TreeControl(HTREE tree, LONG code, LONG* value);
// Adds an item, growing the array by 10 slots when full. A sorted table
// uses only the item. 0 when memory runs out; the table is then unchanged.
ORDMAP_API INT TREEAPI TreeInsertItem(HTREE tree, void* item, void* reference,
                                      void** newNode, SHORT how, LONG state);
// Removes the identical item pointer (not just an equal key). 1 if found.
ORDMAP_API INT TREEAPI TreeDeleteItem(HTREE tree, void* item);
// Empties the table and shrinks its array. Returns 1.
ORDMAP_API INT TREEAPI TreeDeleteAllItems(HTREE tree);
// Outline functions; the outline kind is not built, so they return 0.
ORDMAP_API INT TREEAPI TreeControlSetItem(HTREE tree, void* node, SHORT flags);
ORDMAP_API INT TREEAPI TreeControlGetItem(HTREE tree, void* node, SHORT* state);
ORDMAP_API void* TREEAPI TreeGenerateIndexTable(HTREE tree, SHORT how, LONG** array, LONG* count);
ORDMAP_API INT TREEAPI TreeDeleteIndexTable(HTREE tree, void* indexTable);
// Binary search for an item whose key equals *key (a LONG for key kind 1,
// a pointer-sized value for key kind 2). Only how 14 searches.
ORDMAP_API void* TREEAPI TreeFindItem(HTREE tree, SHORT how, const void* key);
// Positional stepping: first (1), last (2), next (4), previous (7) from
// *current; the new index goes to *position (-1 when there is none).
ORDMAP_API void* TREEAPI TreeGetItem(HTREE tree, const LONG* current, LONG* position, SHORT how);
// Shows a message box "DO_SOMETHING 1 i = <i>" and returns 17.
ORDMAP_API INT TREEAPI DO_SOMETHING(LONG i);
// Deletes every live tree, oldest first. Returns 1.
ORDMAP_API INT TREEAPI TreeCleanup();

}  // extern "C"
