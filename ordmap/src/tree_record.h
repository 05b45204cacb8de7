// The record behind every tree handle.
#pragma once

#include "ordmap.h"

struct TreeRecord {
  LONG marker;           // 1234 while alive
  LONG kind;
  TreeRecord* previous;  // towards the head of the live list (newer trees)
  TreeRecord* next;      // towards the tail (older trees)
  tqsort* table;
  void* outline;         // the outline kind is not built
};
