// Tree placement. Children are kept in OID order, sub-identifier by
// sub-identifier with a prefix before what it prefixes (the manager
// library's full-length OID comparison); the global list is kept in
// depth-first order by linking each new node after the subtree of its
// preceding sibling.
#include "modforge/mib_tree.h"

#include <algorithm>
#include <functional>

namespace modforge {
namespace {

constexpr const char* kRootNames[] = {"ccitt", "iso", "joint-iso-ccitt"};

// -1, 0 or 1 as `first` orders before, with or after `second`.
int compareOids(const Oid& first, const Oid& second) {
  auto [left, right] = std::mismatch(first.begin(), first.end(), second.begin(), second.end());
  if (left != first.end() && right != second.end()) return *left < *right ? -1 : 1;
  return first.size() < second.size() ? -1 : first.size() > second.size() ? 1 : 0;
}

size_t mix(size_t seed, size_t value) { return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2)); }

}  // namespace

MibTree::OidKey::OidKey(OidView oid) : oid(oid), hash(oid.size()) {
  for (uint32_t subidentifier : oid) hash = mix(hash, subidentifier);
}

bool MibTree::OidKey::operator==(const OidKey& other) const {
  return hash == other.hash && std::equal(oid.begin(), oid.end(), other.oid.begin(), other.oid.end());
}

MibTree::NameKey::NameKey(std::string_view name) : name(name), hash(std::hash<std::string_view>()(name)) {}

MibTree::ModuleAndName::ModuleAndName(std::string_view module, std::string_view name)
    : module(module), name(name), hash(mix(std::hash<std::string_view>()(module), std::hash<std::string_view>()(name))) {}

bool MibTree::ModuleAndName::operator==(const ModuleAndName& other) const {
  return hash == other.hash && name == other.name && module == other.module;
}

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
  byOid_.clear();
  byName_.clear();
  byModuleAndName_.clear();
  aliasTexts_.clear();
  nodes_.clear();
}

Node* MibTree::findByName(std::string_view name) const {
  auto found = byName_.find(NameKey(name));
  return found == byName_.end() ? nullptr : found->second;
}

Node* MibTree::findByOid(std::span<const uint32_t> oid) const {
  auto found = byOid_.find(OidKey(oid));
  return found == byOid_.end() ? nullptr : found->second;
}

Node* MibTree::findInModule(std::string_view module, std::string_view name) const {
  auto found = byModuleAndName_.find(ModuleAndName(module, name));
  return found == byModuleAndName_.end() ? nullptr : found->second;
}

void MibTree::addAlias(const std::string& module, const std::string& name, Node* node) {
  if (findInModule(module, name)) return;
  const std::string& storedModule = aliasTexts_.emplace_back(module);
  const std::string& storedName = aliasTexts_.emplace_back(name);
  byModuleAndName_.emplace(ModuleAndName(storedModule, storedName), node);
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
  if (Node* found = findByOid(oid)) {
    *existing = found;
    return nullptr;
  }
  Node* parent = &top_;
  if (oid.size() >= 2) {
    parent = findByOid(OidView(oid).first(oid.size() - 1));
    if (!parent) return nullptr;
  }
  auto owned = std::make_unique<Node>();
  Node* node = owned.get();
  node->name = std::move(name);
  node->module = std::move(module);
  node->oid = std::move(oid);
  node->parent = parent == &top_ ? nullptr : parent;
  nodes_.push_back(std::move(owned));
  byOid_.emplace(OidKey(node->oid), node);

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
  auto [named, added] = byName_.emplace(NameKey(node->name), node);
  if (!added && compareOids(node->oid, named->second->oid) < 0) named->second = node;
  byModuleAndName_.emplace(ModuleAndName(node->module, node->name), node);
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
