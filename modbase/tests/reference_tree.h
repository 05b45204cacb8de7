// The merged-tree rules written as plainly as possible: one list in OID
// order, every search a scan of it. The tests compare the library's
// indexed tree against it, and the benchmark measures both.
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

class Tree {
 public:
  Tree() = default;
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  void insert(const Definition& definition) {
    // 1. An existing node of this OID takes the definition.
    if (Node* node = find(definition.oid)) {
      auto at = definition.fromRfc1155Smi ? node->definitions.begin() : node->definitions.end();
      node->definitions.insert(at, &definition);
      refresh(*node);
      return;
    }
    // 2. A new node, after the last node not greater, searching from the tail.
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
    linkParent(*node, position);
    linkPreviousSibling(*node, position);
    linkNextSibling(*node, position);
  }

  void remove(const Definition& definition) {
    Node* node = find(definition.oid);
    if (!node) return;
    auto& definitions = node->definitions;
    auto found = std::find(definitions.begin(), definitions.end(), &definition);
    if (found == definitions.end()) return;
    definitions.erase(found);
    if (definitions.empty()) removeNode(*node);
    else refresh(*node);
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

  // 3. The parent is the first node, scanning back, not greater than the
  // OID without its last sub-identifier.
  void linkParent(Node& node, size_t position) {
    if (node.oid.size() < 2) return;
    Oid parentOid(node.oid.begin(), node.oid.end() - 1);
    for (size_t i = position + 1; i-- > 0;) {
      if (compare(list_[i]->oid, parentOid) <= 0) {
        Node* parent = list_[i];
        node.parent = parent;
        if (!parent->firstChild || compare(parent->firstChild->oid, node.oid) > 0) {
          parent->firstChild = &node;
        }
        return;
      }
    }
  }

  // 4. Count the last sub-identifier down; the first OID found before the
  // node is its previous sibling.
  void linkPreviousSibling(Node& node, size_t position) {
    Oid copy = node.oid;
    while (copy.back() > 0) {
      --copy.back();
      for (size_t i = position; i-- > 0;) {
        if (list_[i]->oid.size() == copy.size() && compare(list_[i]->oid, copy) == 0) {
          node.previousSibling = list_[i];
          list_[i]->nextSibling = &node;
          return;
        }
      }
    }
  }

  // 5. The first later node of the same length and the same parent prefix.
  void linkNextSibling(Node& node, size_t position) {
    for (size_t i = position + 1; i < list_.size(); ++i) {
      const Oid& other = list_[i]->oid;
      if (other.size() == node.oid.size() &&
          std::equal(other.begin(), other.end() - 1, node.oid.begin())) {
        node.nextSibling = list_[i];
        list_[i]->previousSibling = &node;
        return;
      }
    }
  }

  void removeNode(Node& node) {
    list_.erase(std::find(list_.begin(), list_.end(), &node));
    if (node.previousSibling) node.previousSibling->nextSibling = node.nextSibling;
    if (node.nextSibling) node.nextSibling->previousSibling = node.previousSibling;
    if (node.parent && node.parent->firstChild == &node) {
      node.parent->firstChild = node.previousSibling ? node.previousSibling : node.nextSibling;
    }
    // Others that took it as first child (through an earlier removal) lose it.
    for (Node* other : list_) {
      if (other->firstChild == &node && other != node.parent) other->firstChild = nullptr;
    }
    std::vector<Node*> children;
    for (Node* other : list_) {
      if (other->parent == &node) children.push_back(other);
    }
    for (Node* child : children) removeNode(*child);
    owned_.erase(std::find_if(owned_.begin(), owned_.end(),
                              [&](const auto& owned) { return owned.get() == &node; }));
  }

  std::vector<Node*> list_;
  std::vector<std::unique_ptr<Node>> owned_;
};

}  // namespace reference
