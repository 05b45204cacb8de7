// The merged tree of every loaded module. Each tree node holds the
// definitions of one OID (an "RFC1155-SMI" definition first, the others in
// load order) and shows the OID and name of its first one.
//
// The links follow fixed rules, applied when a node is made and when one
// is removed (they are not recomputed for the nodes already there):
// - parent: the node of greatest OID not greater than the OID without its
//   last sub-identifier (the real parent when it exists, else the nearest
//   preceding node); the new node becomes its first child when it has none
//   or the current first child has a greater OID;
// - siblings: the nodes of the same length and the same OID but the last
//   sub-identifier next below and next above, linked both ways;
// - removing a node links its siblings to each other, makes the parent's
//   first child its previous sibling or else its next sibling, and removes
//   every node whose parent it is, recursively, whatever their modules.
//   Any other node whose first child it was is left without one.
// Lookups give the node of an OID, and the node of a name with the smallest
// OID. Three ordered indexes (by OID, by length then OID, by name then OID)
// make every lookup and every insertion O(log n).
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
  TreeNode* nextSibling = nullptr;
  TreeNode* previousSibling = nullptr;
  int32_t userValue = 0;
  HWSM_NODE handle = 0;

  // Reverse links, so that removal finds what points here: the nodes whose
  // parent this is, and the nodes whose first child this is.
  TreeNode* firstDependant = nullptr;
  TreeNode* previousDependant = nullptr;
  TreeNode* nextDependant = nullptr;
  TreeNode* firstHolder = nullptr;
  TreeNode* previousHolder = nullptr;
  TreeNode* nextHolder = nullptr;
  // Chains the nodes of one removal.
  TreeNode* nextDoomed = nullptr;
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
  // a node left without definitions goes with everything below it.
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
  // Length first: the nodes of one length and one parent prefix are then
  // neighbours, ordered by their last sub-identifier.
  struct ByLengthThenOid {
    bool operator()(const TreeNode* a, const TreeNode* b) const {
      if (a->oid.size() != b->oid.size()) return a->oid.size() < b->oid.size();
      return compareOids(a->oid, b->oid) < 0;
    }
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

  bool addToExistingNode(TreeNode& node, Definition& definition);
  TreeNode* makeNode(Definition& definition);
  void linkNewNode(TreeNode& node);
  void refreshFromFirstDefinition(TreeNode& node);
  void removeWithDependants(TreeNode& top);
  void unlink(TreeNode& node);
  void freeNode(TreeNode& node);
  bool assignHandle(TreeNode& node);
  void releaseHandle(TreeNode& node);

  std::set<TreeNode*, ByOid> byOid_;
  std::set<TreeNode*, ByLengthThenOid> byLength_;
  std::set<TreeNode*, ByNameThenOid> byName_;
  std::vector<HandleSlot> slots_;
  uint32_t firstFreeSlot_ = 0;
};

// The heap tree nodes live on (for tests: its live count).
platform::CountedHeap& treeNodeHeap();

}  // namespace modbase
