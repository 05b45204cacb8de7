// The compiler's MIB tree: every node compiled in one program run, whatever
// module defined it. Children are kept in ascending OID order and all nodes
// are linked in one list in depth-first (ascending OID) order, which is the
// order the save walks.
#pragma once

#include "modforge/definition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace modforge {

using Oid = std::vector<uint32_t>;

struct Node {
  std::string name;
  std::string module;
  Oid oid;
  Definition definition;
  Node* parent = nullptr;
  Node* firstChild = nullptr;
  Node* lastChild = nullptr;
  Node* nextSibling = nullptr;
  // The next node in the global depth-first list.
  Node* next = nullptr;
};

// Dotted decimal text of an OID ("1.3.6.1").
[[nodiscard]] std::string oidText(const Oid& oid);

class MibTree {
 public:
  MibTree();
  MibTree(const MibTree&) = delete;
  MibTree& operator=(const MibTree&) = delete;
  ~MibTree();

  // The node with this name that comes first in OID order, or null.
  [[nodiscard]] Node* findByName(std::string_view name) const;
  [[nodiscard]] Node* findByOid(const Oid& oid) const;

  // The root "ccitt", "iso" or "joint-iso-ccitt" for names or numbers
  // 0..2, created (kind OBJECT IDENTIFIER, module `module`) when missing;
  // null for any other name.
  Node* rootByName(std::string_view name, const std::string& module);
  Node* rootByNumber(uint32_t number, const std::string& module);

  // Inserts a node with `oid`; null (and nothing changes) when a node with
  // that OID exists already, returned through `existing`. A node whose OID
  // has two or more sub-identifiers needs its parent in the tree.
  Node* insert(std::string name, std::string module, Oid oid, Node** existing);

  // The first node of the global list.
  [[nodiscard]] Node* first() const { return top_.next; }
  [[nodiscard]] size_t size() const { return nodes_.size(); }
  void clear();

 private:
  Node* placeAmongSiblings(Node* parent, Node* node);
  static Node* lastInSubtree(Node* node);

  // The invisible node above the roots; its children are the top-level nodes.
  Node top_;
  std::vector<std::unique_ptr<Node>> nodes_;
  std::unordered_map<std::string, Node*> byOid_;
  std::unordered_map<std::string, Node*> byName_;
};

}  // namespace modforge
