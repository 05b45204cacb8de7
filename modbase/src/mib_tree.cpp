// The merged tree and its indexes (rules in mib_tree.h).
#include "mib_tree.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace modbase {
namespace {

static_assert(sizeof(HWSM_NODE) == 8, "node handles carry a slot and a generation");

platform::CountedHeap nodeHeap;

void addDependant(TreeNode& parent, TreeNode& child) {
  child.previousDependant = nullptr;
  child.nextDependant = parent.firstDependant;
  if (parent.firstDependant) parent.firstDependant->previousDependant = &child;
  parent.firstDependant = &child;
}

void removeDependant(TreeNode& child) {
  if (!child.parent) return;
  if (child.previousDependant) child.previousDependant->nextDependant = child.nextDependant;
  else child.parent->firstDependant = child.nextDependant;
  if (child.nextDependant) child.nextDependant->previousDependant = child.previousDependant;
  child.previousDependant = child.nextDependant = nullptr;
}

// Points `holder` at a new first child, keeping the holder lists right.
void setFirstChild(TreeNode& holder, TreeNode* child) {
  if (TreeNode* old = holder.firstChild) {
    if (holder.previousHolder) holder.previousHolder->nextHolder = holder.nextHolder;
    else old->firstHolder = holder.nextHolder;
    if (holder.nextHolder) holder.nextHolder->previousHolder = holder.previousHolder;
    holder.previousHolder = holder.nextHolder = nullptr;
  }
  holder.firstChild = child;
  if (child) {
    holder.nextHolder = child->firstHolder;
    if (child->firstHolder) child->firstHolder->previousHolder = &holder;
    child->firstHolder = &holder;
  }
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
  if (definitions.empty()) removeWithDependants(*node);
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
      byLength_.insert(node);
      byName_.insert(node);
      return node;
    }
  } catch (const std::bad_alloc&) {
    // No other node has this OID, so erasing by key touches only this one.
    byOid_.erase(node);
    byLength_.erase(node);
    byName_.erase(node);
    releaseHandle(*node);
  }
  nodeHeap.dispose(node);
  return nullptr;
}

void MibTree::linkNewNode(TreeNode& node) {
  if (node.oid.size() >= 2) {
    auto after = byOid_.upper_bound(node.oid.prefix(node.oid.size() - 1));
    if (after != byOid_.begin()) {
      TreeNode* parent = *std::prev(after);
      node.parent = parent;
      addDependant(*parent, node);
      if (!parent->firstChild || compareOids(parent->firstChild->oid, node.oid) > 0) {
        setFirstChild(*parent, &node);
      }
    }
  }
  auto at = byLength_.find(&node);
  if (at != byLength_.begin()) {
    TreeNode* previous = *std::prev(at);
    if (previous->oid.sharesParentPrefixWith(node.oid)) {
      node.previousSibling = previous;
      previous->nextSibling = &node;
    }
  }
  if (auto next = std::next(at); next != byLength_.end() && (*next)->oid.sharesParentPrefixWith(node.oid)) {
    node.nextSibling = *next;
    (*next)->previousSibling = &node;
  }
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

void MibTree::removeWithDependants(TreeNode& top) {
  // Gather first: unlinking changes the dependant lists being walked.
  top.nextDoomed = nullptr;
  TreeNode* last = &top;
  for (TreeNode* node = &top; node; node = node->nextDoomed) {
    for (TreeNode* dependant = node->firstDependant; dependant; dependant = dependant->nextDependant) {
      dependant->nextDoomed = nullptr;
      last->nextDoomed = dependant;
      last = dependant;
    }
  }
  for (TreeNode* node = &top; node; node = node->nextDoomed) unlink(*node);
  for (TreeNode* node = &top; node;) {
    TreeNode* next = node->nextDoomed;
    freeNode(*node);
    node = next;
  }
}

void MibTree::unlink(TreeNode& node) {
  byOid_.erase(&node);
  byLength_.erase(&node);
  byName_.erase(&node);
  if (node.previousSibling) node.previousSibling->nextSibling = node.nextSibling;
  if (node.nextSibling) node.nextSibling->previousSibling = node.previousSibling;
  while (TreeNode* holder = node.firstHolder) {
    TreeNode* replacement = node.previousSibling ? node.previousSibling : node.nextSibling;
    setFirstChild(*holder, holder == node.parent ? replacement : nullptr);
  }
  removeDependant(node);
}

void MibTree::freeNode(TreeNode& node) {
  setFirstChild(node, nullptr);
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
