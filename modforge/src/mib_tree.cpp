// Tree placement. Children are ordered with the manager library's OID
// comparison over the full length; the global list is kept in depth-first
// order by linking each new node after the subtree of its preceding
// sibling.
#include "modforge/mib_tree.h"

#include "winsnmp.h"

#include <cstring>

namespace modforge {
namespace {

constexpr const char* kRootNames[] = {"ccitt", "iso", "joint-iso-ccitt"};

std::string moduleKey(std::string_view module, std::string_view name) {
  std::string key;
  key.reserve(module.size() + name.size() + 1);
  key.append(module).push_back('\0');
  key.append(name);
  return key;
}

std::string keyOf(const Oid& oid) {
  std::string key(oid.size() * sizeof(uint32_t), '\0');
  if (!oid.empty()) std::memcpy(key.data(), oid.data(), key.size());
  return key;
}

// -1, 0 or 1 as `first` orders before, with or after `second`. The
// manager library must be started (the compiler starts it).
int compareOids(const Oid& first, const Oid& second) {
  smiOID left{static_cast<smiUINT32>(first.size()), const_cast<smiUINT32*>(first.data())};
  smiOID right{static_cast<smiUINT32>(second.size()), const_cast<smiUINT32*>(second.data())};
  smiINT result = 0;
  SnmpOidCompare(&left, &right, 0, &result);
  return result;
}

}  // namespace

std::string oidText(const Oid& oid) {
  std::string text;
  for (size_t i = 0; i < oid.size(); ++i) {
    if (i) text.push_back('.');
    text += std::to_string(oid[i]);
  }
  return text;
}

MibTree::MibTree() = default;
MibTree::~MibTree() = default;

void MibTree::clear() {
  top_ = Node{};
  nodes_.clear();
  byOid_.clear();
  byName_.clear();
  byModuleAndName_.clear();
}

Node* MibTree::findByName(std::string_view name) const {
  auto found = byName_.find(std::string(name));
  return found == byName_.end() ? nullptr : found->second;
}

Node* MibTree::findByOid(const Oid& oid) const {
  auto found = byOid_.find(keyOf(oid));
  return found == byOid_.end() ? nullptr : found->second;
}

Node* MibTree::findInModule(std::string_view module, std::string_view name) const {
  auto found = byModuleAndName_.find(moduleKey(module, name));
  return found == byModuleAndName_.end() ? nullptr : found->second;
}

void MibTree::addAlias(const std::string& module, const std::string& name, Node* node) {
  byModuleAndName_.emplace(moduleKey(module, name), node);
}

Node* MibTree::rootByName(std::string_view name, const std::string& module) {
  for (uint32_t number = 0; number < 3; ++number) {
    if (name == kRootNames[number]) return rootByNumber(number, module);
  }
  return nullptr;
}

Node* MibTree::rootByNumber(uint32_t number, const std::string& module) {
  if (number > 2) return nullptr;
  Node* existing = nullptr;
  Node* root = insert(kRootNames[number], module, Oid{number}, &existing);
  return root ? root : existing;
}

Node* MibTree::insert(std::string name, std::string module, Oid oid, Node** existing) {
  *existing = nullptr;
  if (oid.empty()) return nullptr;
  std::string key = keyOf(oid);
  if (auto found = byOid_.find(key); found != byOid_.end()) {
    *existing = found->second;
    return nullptr;
  }
  Node* parent = &top_;
  if (oid.size() >= 2) {
    parent = findByOid(Oid(oid.begin(), oid.end() - 1));
    if (!parent) return nullptr;
  }
  auto owned = std::make_unique<Node>();
  Node* node = owned.get();
  node->name = std::move(name);
  node->module = std::move(module);
  node->oid = std::move(oid);
  node->parent = parent == &top_ ? nullptr : parent;
  nodes_.push_back(std::move(owned));
  byOid_.emplace(std::move(key), node);

  Node* before = placeAmongSiblings(parent, node);
  Node* linkAfter = before ? lastInSubtree(before) : parent;
  node->next = linkAfter->next;
  linkAfter->next = node;

  indexName(node);
  return node;
}

void MibTree::name(Node* unnamed, std::string name, std::string module) {
  unnamed->name = std::move(name);
  unnamed->module = std::move(module);
  indexName(unnamed);
}

void MibTree::indexName(Node* node) {
  if (node->name.empty()) return;
  auto [named, added] = byName_.emplace(node->name, node);
  if (!added && compareOids(node->oid, named->second->oid) < 0) named->second = node;
  byModuleAndName_.emplace(moduleKey(node->module, node->name), node);
}

// Links `node` into its parent's children before the first greater one;
// returns the sibling now in front of it, or null when it is the first.
Node* MibTree::placeAmongSiblings(Node* parent, Node* node) {
  Node* last = parent->lastChild;
  if (!last || compareOids(node->oid, last->oid) > 0) {
    if (last) last->nextSibling = node;
    else parent->firstChild = node;
    parent->lastChild = node;
    return last;
  }
  Node* previous = nullptr;
  Node* child = parent->firstChild;
  while (child && compareOids(child->oid, node->oid) <= 0) {
    previous = child;
    child = child->nextSibling;
  }
  node->nextSibling = child;
  if (previous) previous->nextSibling = node;
  else parent->firstChild = node;
  return previous;
}

Node* MibTree::lastInSubtree(Node* node) {
  while (node->lastChild) node = node->lastChild;
  return node;
}

}  // namespace modforge
