// The indexed tree against the plain reference rules: several generated
// modules over one random OID universe (shared OIDs, missing parents, one
// "RFC1155-SMI" module, names used by several OIDs), loaded and unloaded
// in a random but fixed order. After every step every node's links,
// name and definitions must agree, and so must lookups. The reference
// works its links out from the loaded set alone, so this also shows that
// the order of loads and unloads does not matter.
#include "mib_tree.h"
#include "reference_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <unordered_map>

namespace {

using reference::Oid;

struct GeneratedModule {
  std::vector<reference::Definition> references;
  std::vector<std::vector<unsigned char>> oidBytes;  // one per definition, never moved after setup
  std::vector<modbase::Definition> definitions;
  bool loaded = false;
};

class GeneratedTrees : public testing::Test {
 protected:
  static constexpr int kModules = 6;
  static constexpr int kUniverse = 2500;
  static constexpr int kNames = 1200;

  void SetUp() override {
    makeUniverse();
    for (int index = 0; index < kModules; ++index) makeModule(index);
  }

  // A random tree of OIDs below the three roots, sub-identifiers 0..8.
  void makeUniverse() {
    std::set<Oid> oids = {{0}, {1}, {2}};
    std::vector<Oid> list(oids.begin(), oids.end());
    while (oids.size() < kUniverse) {
      Oid child = list[random() % list.size()];
      if (child.size() >= 9) continue;
      child.push_back(static_cast<uint32_t>(random() % 9));
      if (oids.insert(child).second) list.push_back(child);
    }
    universe.assign(oids.begin(), oids.end());
    for (const Oid& oid : universe) usualName[oid] = "n" + std::to_string(random() % kNames);
  }

  // About a quarter of the universe in random order, a few OIDs twice, some
  // under a name of the module's own.
  void makeModule(int index) {
    GeneratedModule& module = modules[index];
    std::vector<Oid> chosen;
    for (const Oid& oid : universe) {
      if (random() % 4 == 0) chosen.push_back(oid);
      if (random() % 200 == 0) chosen.push_back(oid);
    }
    std::shuffle(chosen.begin(), chosen.end(), random);
    for (const Oid& oid : chosen) {
      reference::Definition definition;
      definition.id = nextId++;
      definition.oid = oid;
      definition.name = random() % 3 == 0 ? "m" + std::to_string(random() % kNames) : usualName[oid];
      definition.fromRfc1155Smi = index == 0;
      module.references.push_back(definition);
    }
    module.oidBytes.reserve(chosen.size());
    module.definitions.reserve(chosen.size());
    for (const reference::Definition& source : module.references) {
      std::vector<unsigned char> bytes(4 * source.oid.size());
      for (size_t i = 0; i < source.oid.size(); ++i) smidb::store32(bytes.data() + 4 * i, source.oid[i]);
      module.oidBytes.push_back(std::move(bytes));
      modbase::Definition definition;
      definition.name = source.name.c_str();
      definition.oid = modbase::OidView(module.oidBytes.back().data(), static_cast<uint32_t>(source.oid.size()));
      definition.fromRfc1155Smi = source.fromRfc1155Smi;
      module.definitions.push_back(definition);
      idOf[&module.definitions.back()] = source.id;
    }
  }

  void load(GeneratedModule& module) {
    for (size_t i = 0; i < module.definitions.size(); ++i) {
      ASSERT_TRUE(tree.insert(module.definitions[i]));
      referenceTree.insert(module.references[i]);
    }
    module.loaded = true;
  }

  void unload(GeneratedModule& module) {
    for (size_t i = 0; i < module.definitions.size(); ++i) {
      tree.remove(module.definitions[i]);
      referenceTree.remove(module.references[i]);
    }
    module.loaded = false;
  }

  static Oid oidOf(modbase::OidView view) {
    Oid oid;
    for (uint32_t i = 0; i < view.size(); ++i) oid.push_back(view[i]);
    return oid;
  }
  static std::optional<Oid> linkOf(const modbase::TreeNode* node) {
    return node ? std::optional(oidOf(node->oid)) : std::nullopt;
  }
  static std::optional<Oid> linkOf(const reference::Node* node) {
    return node ? std::optional(node->oid) : std::nullopt;
  }

  void expectSameNode(const modbase::TreeNode& node, const reference::Node& expected) {
    const Oid oid = oidOf(node.oid);
    ASSERT_EQ(oid, expected.oid);
    EXPECT_EQ(node.name, expected.name);
    std::vector<int> ids, expectedIds;
    for (const modbase::Definition* definition : node.definitions) ids.push_back(idOf.at(definition));
    for (const reference::Definition* definition : expected.definitions) expectedIds.push_back(definition->id);
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(linkOf(node.parent), linkOf(expected.parent));
    EXPECT_EQ(linkOf(node.firstChild), linkOf(expected.firstChild));
    EXPECT_EQ(linkOf(node.nextSibling), linkOf(expected.nextSibling));
    EXPECT_EQ(linkOf(node.previousSibling), linkOf(expected.previousSibling));
    EXPECT_EQ(tree.fromHandle(node.handle), &node);
  }

  void expectSameTree() {
    referenceTree.link();
    const auto& expected = referenceTree.nodes();
    ASSERT_EQ(tree.size(), expected.size());
    size_t index = 0;
    tree.forEach([&](const modbase::TreeNode& node) { expectSameNode(node, *expected[index++]); });
    for (int probe = 0; probe < 100; ++probe) {
      std::string name = (probe % 2 ? "m" : "n") + std::to_string(random() % kNames);
      EXPECT_EQ(linkOf(tree.findName(name)), linkOf(referenceTree.findName(name))) << name;
      const Oid& oid = universe[random() % universe.size()];
      GeneratedModule scratch;
      std::vector<unsigned char> bytes(4 * oid.size());
      for (size_t i = 0; i < oid.size(); ++i) smidb::store32(bytes.data() + 4 * i, oid[i]);
      EXPECT_EQ(linkOf(tree.find(modbase::OidView(bytes.data(), static_cast<uint32_t>(oid.size())))),
                linkOf(referenceTree.find(oid)));
    }
  }

  std::mt19937 random{20240607};
  std::vector<Oid> universe;
  std::map<Oid, std::string> usualName;
  GeneratedModule modules[kModules];
  std::unordered_map<const modbase::Definition*, int> idOf;
  int nextId = 1;
  modbase::MibTree tree;
  reference::Tree referenceTree;
};

TEST_F(GeneratedTrees, LinksMatchTheReferenceRulesThroughLoadsAndUnloads) {
  // Every module in turn, the "RFC1155-SMI" one last so that its
  // definitions must go first in nodes that already exist; then at random.
  std::vector<int> schedule = {5, 4, 3, 2, 1, 0};
  while (schedule.size() < 40) schedule.push_back(static_cast<int>(random() % kModules));
  size_t largest = 0, orphans = 0;
  for (size_t step = 0; step < schedule.size(); ++step) {
    GeneratedModule& module = modules[schedule[step]];
    if (module.loaded) unload(module);
    else load(module);
    ASSERT_NO_FATAL_FAILURE(expectSameTree()) << "step " << step;
    if (HasFailure()) return;
    largest = std::max(largest, tree.size());
    tree.forEach([&](const modbase::TreeNode& node) {
      if (node.parent && node.parent->oid.size() + 1 != node.oid.size()) ++orphans;
    });
  }
  EXPECT_GT(largest, 1500u);  // the comparison covered a large tree
  EXPECT_GT(orphans, 100u);   // and many nodes whose parent OID was missing
  for (GeneratedModule& module : modules) {
    if (module.loaded) unload(module);
  }
  EXPECT_EQ(tree.size(), 0u);
  EXPECT_EQ(modbase::treeNodeHeap().liveCount(), 0);
}

}  // namespace
