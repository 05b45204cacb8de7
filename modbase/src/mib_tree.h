// The merged tree of every loaded module. Each tree node holds the
// definitions of one OID (an "RFC1155-SMI" definition first, the others in
// load order) and shows the OID and name of its first one.
//
// The links depend only on which OIDs are in the tree, never on the order
// modules were loaded or unloaded in:
// - parent: the nearest node whose OID is a proper prefix of the node's
//   (its real parent when that is loaded, else the nearest loaded
//   ancestor); none for a node without a loaded ancestor;
// - children: the nodes whose parent it is, in OID order; first child the
//   first of them; siblings the neighbours among the children of one
//   parent (the nodes without a parent are siblings of one another).
// A new node therefore adopts the children of its parent that lie below
// it, and a removed node hands its children to its parent: unloading a
// module removes the nodes no other loaded module defines and nothing
// else. Lookups give the node of an OID, and the node of a name with the
// smallest OID. Two ordered indexes (by OID, by name then OID) make every
// lookup O(log n) and every insertion and removal O(log n) plus the depth
// and the number of children moved.
#pragma once

#include "definition.h"

#include "wsm.h"

#include "platform/heap.h"

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

namespace modbase {

struct TreeNode {
  OidView oid;            // of the first definition
  std::string_view name;  // of the first definition
  std::vector<Definition*> definitions;
  TreeNode* parent = nullptr;
  TreeNode* firstChild = nullptr;
  TreeNode* lastChild = nullptr;
  TreeNode* nextSibling = nullptr;
  TreeNode* previousSibling = nullptr;
  int32_t userValue = 0;
  HWSM_NODE handle = 0;
};

class MibTree {
 public:
  MibTree() = default;
  ~MibTree();
  MibTree(const MibTree&) = delete;
  MibTree& operator=(const MibTree&) = delete;

  // Adds a definition that has a name and an OID. False when memory runs
  // out; the definition then stays outside the tree and nothing changed.
  [[nodiscard]] bool insert(Definition& definition);
  // Takes a definition out (nothing happens when it is outside the tree);
  // a node left without definitions goes, and its children move up.
  void remove(Definition& definition);

  TreeNode* find(OidView oid) const;
  TreeNode* findName(std::string_view name) const;
  TreeNode* head() const { return byOid_.empty() ? nullptr : *byOid_.begin(); }
  size_t size() const { return byOid_.size(); }

  // Handles: the node of a handle, or null when it names no live node.
  TreeNode* fromHandle(HWSM_NODE handle) const;

  // Every node in OID order.
  template <class Visit>
  void forEach(Visit visit) const {
    for (TreeNode* node : byOid_) visit(*node);
  }

 private:
  struct ByOid {
    using is_transparent = void;
    bool operator()(const TreeNode* a, const TreeNode* b) const { return compareOids(a->oid, b->oid) < 0; }
    bool operator()(const TreeNode* a, OidView b) const { return compareOids(a->oid, b) < 0; }
    bool operator()(OidView a, const TreeNode* b) const { return compareOids(a, b->oid) < 0; }
  };
  struct ByNameThenOid {
    using is_transparent = void;
    bool operator()(const TreeNode* a, const TreeNode* b) const {
      if (int order = a->name.compare(b->name)) return order < 0;
      return compareOids(a->oid, b->oid) < 0;
    }
    bool operator()(const TreeNode* a, std::string_view b) const { return a->name < b; }
    bool operator()(std::string_view a, const TreeNode* b) const { return a < b->name; }
  };

  struct HandleSlot {
    TreeNode* node = nullptr;
    uint32_t generation = 0;
    uint32_t nextFree = 0;  // 1-based, 0: none
  };
  // The children of a node, or the nodes without a parent.
  struct ChildList {
    TreeNode*& first;
    TreeNode*& last;
  };

  bool addToExistingNode(TreeNode& node, Definition& definition);
  TreeNode* makeNode(Definition& definition);
  TreeNode* nearestAncestor(OidView oid) const;
  ChildList childrenOf(TreeNode* parent);
  void linkNewNode(TreeNode& node);
  void adoptChildrenBelow(TreeNode& node);
  void insertAfter(ChildList list, TreeNode* previous, TreeNode& node);
  void unlinkFromSiblings(ChildList list, TreeNode& node);
  void refreshFromFirstDefinition(TreeNode& node);
  void removeNode(TreeNode& node);
  bool assignHandle(TreeNode& node);
  void releaseHandle(TreeNode& node);

  std::set<TreeNode*, ByOid> byOid_;
  std::set<TreeNode*, ByNameThenOid> byName_;
  std::vector<HandleSlot> slots_;
  uint32_t firstFreeSlot_ = 0;
  TreeNode* firstTop_ = nullptr;
  TreeNode* lastTop_ = nullptr;
};

// The heap tree nodes live on (for tests: its live count).
platform::CountedHeap& treeNodeHeap();

}  // namespace modbase
