// CPtrList: a locked first-in first-out list of untyped pointers, used for
// the write queues here and for netmgr's own queues. The list never owns
// what its entries point to.
#pragma once

#include "ordmap.h"
#include "platform/sync.h"
#include "udpwire/class_heap.h"
#include "udpwire/export.h"

#include <atomic>

class UDPWIRE_API CPtrList {
  // First field: the class register is keyed by it.
  [[maybe_unused]] CPtrList* m_self;

 public:
  explicit CPtrList(void* owner);
  // Releases the list's own nodes, never the entries they point to.
  ~CPtrList();
  // Copies the owner and the entries (as new nodes); keeps this list's
  // identity and lock. Stops early when nodes run out.
  CPtrList& operator=(const CPtrList& other);

  // False when no node can be allocated; the list is then unchanged.
  bool AddTail(void* item);
  // The oldest entry, removed; null when empty.
  void* RemoveHead();
  // The oldest entry, left in place; null when empty.
  void* GetHead();
  // Read without the lock: a snapshot that may be stale at once.
  bool IsEmpty() const;
  int GetCount() const;

  // The register of live lists (a sorted table keyed by address).
  static HTREE gc_hTreeCPtrList;

  UDPWIRE_CLASS_HEAP_MEMBERS

 private:
  struct Node;

  void* m_owner;
  CRITICAL_SECTION m_lock;
  std::atomic<Node*> m_head;
  Node* m_tail;
  std::atomic<int> m_count;
  DWORD m_marker;
};
