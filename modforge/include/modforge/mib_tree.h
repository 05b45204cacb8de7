// The compiler's MIB tree: every node compiled in one program run, whatever
// module defined it. Children are kept in ascending OID order and all nodes
// are linked in one list in depth-first (ascending OID) order, which is the
// order the save walks. A node with an empty name stands for an OID that a
// value such as { enterprises 2312 6 } passes through without naming it; a
// later definition of that OID takes the node over.
#pragma once

#include "modforge/definition.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace modforge {

using Oid = std::vector<uint32_t>;

struct Node {
  // Empty for an unnamed node.
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

// The most sub-identifiers an OID may have.
constexpr size_t kLongestOid = 128;

class MibTree {
 public:
  MibTree();
  MibTree(const MibTree&) = delete;
  MibTree& operator=(const MibTree&) = delete;
  ~MibTree();

  // The node with this name that comes first in OID order, or null.
  [[nodiscard]] Node* findByName(std::string_view name) const;
  [[nodiscard]] Node* findByOid(std::span<const uint32_t> oid) const;
  [[nodiscard]] Node* findByOid(const Oid& oid) const { return findByOid(std::span<const uint32_t>(oid)); }
  // The node `module` defined as `name` first, or the node that held the
  // OID already when that definition came (see addAlias); null when none.
  [[nodiscard]] Node* findInModule(std::string_view module, std::string_view name) const;
  // Records that `module`'s `name` means `node`, whose OID it defined when
  // another definition held it already. The first record of a name stays.
  void addAlias(const std::string& module, const std::string& name, Node* node);

  // The root "ccitt", "iso" or "joint-iso-ccitt" for names or numbers
  // 0..2, created (kind OBJECT IDENTIFIER, module `module`) when missing;
  // null for any other name.
  Node* rootByName(std::string_view name, const std::string& module);
  Node* rootByNumber(uint32_t number, const std::string& module);

  // Inserts a node with `oid`; null (and nothing changes) when a node with
  // that OID exists already, returned through `existing`. A node whose OID
  // has two or more sub-identifiers needs its parent in the tree.
  Node* insert(std::string name, std::string module, Oid oid, Node** existing);
  // Gives an unnamed node its name and module.
  void name(Node* unnamed, std::string name, std::string module);

  // The first node of the global list.
  [[nodiscard]] Node* first() const { return top_.next; }
  [[nodiscard]] size_t size() const { return nodes_.size(); }
  void clear();

 private:
  // The indexes view the names and OIDs their nodes hold, which never
  // change once indexed (the nodes themselves never move). Each key carries
  // its hash, which the tables ask for again as they walk their buckets.
  using OidView = std::span<const uint32_t>;
  struct OidKey {
    explicit OidKey(OidView oid);
    OidView oid;
    size_t hash;
    bool operator==(const OidKey& other) const;
  };
  struct ModuleAndName {
    ModuleAndName(std::string_view module, std::string_view name);
    std::string_view module;
    std::string_view name;
    size_t hash;
    bool operator==(const ModuleAndName& other) const;
  };
  struct NameKey {
    explicit NameKey(std::string_view name);
    std::string_view name;
    size_t hash;
    bool operator==(const NameKey& other) const { return hash == other.hash && name == other.name; }
  };
  struct KeyHash {
    template <class Key>
    size_t operator()(const Key& key) const { return key.hash; }
  };

  Node* placeAmongSiblings(Node* parent, Node* node);
  static Node* lastInSubtree(Node* node);
  void indexName(Node* node);

  // The invisible node above the roots; its children are the top-level nodes.
  Node top_;
  std::vector<std::unique_ptr<Node>> nodes_;
  std::unordered_map<OidKey, Node*, KeyHash> byOid_;
  std::unordered_map<NameKey, Node*, KeyHash> byName_;
  std::unordered_map<ModuleAndName, Node*, KeyHash> byModuleAndName_;
  // The module and name texts of aliases, which no node holds.
  std::deque<std::string> aliasTexts_;
};

}  // namespace modforge
