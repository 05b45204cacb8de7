// The merged tree and its indexes (rules in mib_tree.h).
#include "mib_tree.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace modbase {
namespace {

static_assert(sizeof(HWSM_NODE) == 8, "node handles carry a slot and a generation");

platform::CountedHeap nodeHeap;

// Whether `prefix` is a proper prefix of `oid`.
bool isAbove(OidView prefix, OidView oid) {
  return prefix.size() < oid.size() && compareOids(prefix, oid.prefix(prefix.size())) == 0;
}

}  // namespace

platform::CountedHeap& treeNodeHeap() { return nodeHeap; }

MibTree::~MibTree() {
  for (TreeNode* node : byOid_) {
    for (Definition* definition : node->definitions) definition->node = nullptr;
    nodeHeap.dispose(node);
  }
}

bool MibTree::insert(Definition& definition) {
  if (TreeNode* existing = find(definition.oid)) return addToExistingNode(*existing, definition);
  TreeNode* node = makeNode(definition);
  if (!node) return false;
  linkNewNode(*node);
  definition.node = node;
  return true;
}

void MibTree::remove(Definition& definition) {
  TreeNode* node = definition.node;
  if (!node) return;
  auto& definitions = node->definitions;
  definitions.erase(std::find(definitions.begin(), definitions.end(), &definition));
  definition.node = nullptr;
  if (definitions.empty()) removeNode(*node);
  else refreshFromFirstDefinition(*node);
}

TreeNode* MibTree::find(OidView oid) const {
  auto found = byOid_.find(oid);
  return found == byOid_.end() ? nullptr : *found;
}

TreeNode* MibTree::findName(std::string_view name) const {
  auto found = byName_.lower_bound(name);
  return found != byName_.end() && (*found)->name == name ? *found : nullptr;
}

TreeNode* MibTree::fromHandle(HWSM_NODE handle) const {
  uint64_t index = handle & 0xffffffffu;
  if (index == 0 || index > slots_.size()) return nullptr;
  const HandleSlot& slot = slots_[index - 1];
  return slot.node && slot.generation == (handle >> 32) ? slot.node : nullptr;
}

bool MibTree::addToExistingNode(TreeNode& node, Definition& definition) {
  try {
    auto at = definition.fromRfc1155Smi ? node.definitions.begin() : node.definitions.end();
    node.definitions.insert(at, &definition);
  } catch (const std::bad_alloc&) {
    return false;
  }
  definition.node = &node;
  refreshFromFirstDefinition(node);
  return true;
}

// A node holding only `definition`, entered in every index but not linked;
// null when memory runs out.
TreeNode* MibTree::makeNode(Definition& definition) {
  TreeNode* node = nodeHeap.make<TreeNode>();
  if (!node) return nullptr;
  node->oid = definition.oid;
  node->name = definition.name;
  try {
    node->definitions.push_back(&definition);
    if (assignHandle(*node)) {
      byOid_.insert(node);
      byName_.insert(node);
      return node;
    }
  } catch (const std::bad_alloc&) {
    // No other node has this OID, so erasing by key touches only this one.
    byOid_.erase(node);
    byName_.erase(node);
    releaseHandle(*node);
  }
  nodeHeap.dispose(node);
  return nullptr;
}

// The node of the longest proper prefix of `oid` in the tree, or null.
TreeNode* MibTree::nearestAncestor(OidView oid) const {
  for (uint32_t length = oid.size(); length-- > 1;) {
    if (TreeNode* found = find(oid.prefix(length))) return found;
  }
  return nullptr;
}

MibTree::ChildList MibTree::childrenOf(TreeNode* parent) {
  return parent ? ChildList{parent->firstChild, parent->lastChild} : ChildList{firstTop_, lastTop_};
}

// Links a node that is in the indexes: under its nearest ancestor, after
// the child of that ancestor that precedes it in OID order. The node before
// it in OID order lies below that child (or is the ancestor itself).
void MibTree::linkNewNode(TreeNode& node) {
  node.parent = nearestAncestor(node.oid);
  auto at = byOid_.find(&node);
  TreeNode* previous = at == byOid_.begin() ? nullptr : *std::prev(at);
  if (previous == node.parent) previous = nullptr;
  while (previous && previous->parent != node.parent) previous = previous->parent;
  insertAfter(childrenOf(node.parent), previous, node);
  adoptChildrenBelow(node);
}

// The siblings that follow a new node and lie below it are its children
// now; they are next to each other, in OID order.
void MibTree::adoptChildrenBelow(TreeNode& node) {
  ChildList siblings = childrenOf(node.parent);
  ChildList children = childrenOf(&node);
  while (TreeNode* next = node.nextSibling) {
    if (!isAbove(node.oid, next->oid)) break;
    unlinkFromSiblings(siblings, *next);
    insertAfter(children, node.lastChild, *next);
    next->parent = &node;
  }
}

// Links `node` into `list` after `previous` (null: first).
void MibTree::insertAfter(ChildList list, TreeNode* previous, TreeNode& node) {
  TreeNode* next = previous ? previous->nextSibling : list.first;
  node.previousSibling = previous;
  node.nextSibling = next;
  (previous ? previous->nextSibling : list.first) = &node;
  (next ? next->previousSibling : list.last) = &node;
}

void MibTree::unlinkFromSiblings(ChildList list, TreeNode& node) {
  (node.previousSibling ? node.previousSibling->nextSibling : list.first) = node.nextSibling;
  (node.nextSibling ? node.nextSibling->previousSibling : list.last) = node.previousSibling;
  node.previousSibling = node.nextSibling = nullptr;
}

// The OID keeps its value (only where it is read from may change), so only
// the name index can need the node moved.
void MibTree::refreshFromFirstDefinition(TreeNode& node) {
  const Definition& first = *node.definitions.front();
  node.oid = first.oid;
  std::string_view name = first.name;
  if (name == node.name) {
    node.name = name;
    return;
  }
  auto entry = byName_.extract(&node);
  node.name = name;
  byName_.insert(std::move(entry));
}

// Unlinks and frees a node; its children take its place among its
// parent's children, in their order.
void MibTree::removeNode(TreeNode& node) {
  byOid_.erase(&node);
  byName_.erase(&node);
  ChildList siblings = childrenOf(node.parent);
  TreeNode* previous = node.previousSibling;
  unlinkFromSiblings(siblings, node);
  while (TreeNode* child = node.firstChild) {
    unlinkFromSiblings(childrenOf(&node), *child);
    insertAfter(siblings, previous, *child);
    child->parent = node.parent;
    previous = child;
  }
  for (Definition* definition : node.definitions) definition->node = nullptr;
  releaseHandle(node);
  nodeHeap.dispose(&node);
}

bool MibTree::assignHandle(TreeNode& node) {
  uint32_t index;
  if (firstFreeSlot_) {
    index = firstFreeSlot_ - 1;
    firstFreeSlot_ = slots_[index].nextFree;
  } else {
    if (slots_.size() >= 0xffffffffu) return false;
    slots_.emplace_back();
    index = static_cast<uint32_t>(slots_.size() - 1);
  }
  HandleSlot& slot = slots_[index];
  slot.node = &node;
  slot.nextFree = 0;
  node.handle = (HWSM_NODE(slot.generation) << 32) | (HWSM_NODE(index) + 1);
  return true;
}

// A released slot changes generation, so old handles of it stop working.
void MibTree::releaseHandle(TreeNode& node) {
  if (!node.handle) return;
  auto index = static_cast<uint32_t>((node.handle & 0xffffffffu) - 1);
  HandleSlot& slot = slots_[index];
  slot.node = nullptr;
  ++slot.generation;
  slot.nextFree = firstFreeSlot_;
  firstFreeSlot_ = index + 1;
  node.handle = 0;
}

}  // namespace modbase
