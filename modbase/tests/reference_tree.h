// The merged-tree rules written as plainly as possible: one list in OID
// order, every search a scan of it, and the links worked out afresh from
// the list alone (link()), so they cannot depend on the order of loads and
// unloads. The tests compare the library's indexed tree against it, and
// the benchmark measures both.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace reference {

using Oid = std::vector<uint32_t>;

struct Definition {
  int id = 0;
  std::string name;
  Oid oid;
  bool fromRfc1155Smi = false;
};

struct Node {
  Oid oid;
  std::string name;
  std::vector<const Definition*> definitions;
  Node* parent = nullptr;
  Node* firstChild = nullptr;
  Node* nextSibling = nullptr;
  Node* previousSibling = nullptr;
};

inline int compare(const Oid& a, const Oid& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

inline bool isAbove(const Oid& prefix, const Oid& oid) {
  return prefix.size() < oid.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

class Tree {
 public:
  Tree() = default;
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  void insert(const Definition& definition) {
    // An existing node of this OID takes the definition.
    if (Node* node = find(definition.oid)) {
      auto at = definition.fromRfc1155Smi ? node->definitions.begin() : node->definitions.end();
      node->definitions.insert(at, &definition);
      refresh(*node);
      return;
    }
    // A new node, after the last node not greater.
    auto owned = std::make_unique<Node>();
    Node* node = owned.get();
    node->definitions.push_back(&definition);
    refresh(*node);
    size_t position = 0;
    for (size_t i = list_.size(); i-- > 0;) {
      if (compare(list_[i]->oid, node->oid) <= 0) {
        position = i + 1;
        break;
      }
    }
    list_.insert(list_.begin() + static_cast<ptrdiff_t>(position), node);
    owned_.push_back(std::move(owned));
  }

  void remove(const Definition& definition) {
    Node* node = find(definition.oid);
    if (!node) return;
    auto& definitions = node->definitions;
    auto found = std::find(definitions.begin(), definitions.end(), &definition);
    if (found == definitions.end()) return;
    definitions.erase(found);
    if (!definitions.empty()) return refresh(*node);
    list_.erase(std::find(list_.begin(), list_.end(), node));
    owned_.erase(std::find_if(owned_.begin(), owned_.end(), [&](const auto& owned) { return owned.get() == node; }));
  }

  // Works out every link from the nodes there are: the parent is the
  // nearest node before it whose OID is a prefix of its own; children and
  // siblings follow the list order among the nodes of one parent.
  void link() {
    for (size_t i = 0; i < list_.size(); ++i) {
      Node& node = *list_[i];
      node.parent = node.firstChild = node.nextSibling = node.previousSibling = nullptr;
      for (size_t j = i; j-- > 0;) {
        if (isAbove(list_[j]->oid, node.oid)) {
          node.parent = list_[j];
          break;
        }
      }
    }
    for (size_t i = 0; i < list_.size(); ++i) {
      Node& node = *list_[i];
      if (node.parent && !node.parent->firstChild) node.parent->firstChild = &node;
      for (size_t j = i + 1; j < list_.size(); ++j) {
        if (list_[j]->parent == node.parent) {
          node.nextSibling = list_[j];
          list_[j]->previousSibling = &node;
          break;
        }
      }
    }
  }

  Node* find(const Oid& oid) const {
    for (Node* node : list_) {
      if (compare(node->oid, oid) == 0) return node;
    }
    return nullptr;
  }

  Node* findName(const std::string& name) const {
    for (Node* node : list_) {
      if (node->name == name) return node;
    }
    return nullptr;
  }

  const std::vector<Node*>& nodes() const { return list_; }

 private:
  static void refresh(Node& node) {
    node.oid = node.definitions.front()->oid;
    node.name = node.definitions.front()->name;
  }

  std::vector<Node*> list_;
  std::vector<std::unique_ptr<Node>> owned_;
};

}  // namespace reference
