// How loaded modules merge into one tree, seen through the library calls.
#include "mib_tree.h"
#include "modbase_fixture.h"

#include "platform/heap.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

using namespace testing_modules;

class TreeRules : public ModuleLibrary {
 protected:
  void load(const std::string& module, const std::vector<NodeEntry>& nodes) {
    registerBytes(module, moduleWithNodes(module, nodes));
    ASSERT_TRUE(WsmLoadModule(module.c_str())) << module << " " << WsmGetLastError();
  }
  static std::string parentOf(const char* node) { return name(WsmFindNodeParent(WsmMapStrToNode(node))); }
  static std::string childOf(const char* node) { return name(WsmFindNodeChild(WsmMapStrToNode(node))); }
  static std::string nextOf(const char* node) { return name(WsmFindNodeNextSibling(WsmMapStrToNode(node))); }
  static std::string previousOf(const char* node) {
    return name(WsmFindNodePrevSibling(WsmMapStrToNode(node)));
  }
  // Every link of every node, as the library calls give them.
  static std::map<std::string, std::string> allLinks() {
    std::map<std::string, std::string> links;
    for (const char* node : {"iso", "org", "dod", "internet", "mgmt", "mib2", "system", "ifTable", "private",
                             "enterprises", "vendor", "product"}) {
      HWSM_NODE handle = WsmMapStrToNode(node);
      links[node] = name(WsmFindNodeParent(handle)) + " " + name(WsmFindNodeChild(handle)) + " " +
                    name(WsmFindNodeNextSibling(handle)) + " " + name(WsmFindNodePrevSibling(handle));
    }
    return links;
  }
};

TEST_F(TreeRules, NodesOfSeveralModulesFormOneTree) {
  load("BASE-MIB", {{"iso", {1}}, {"org", {1, 3}}, {"dod", {1, 3, 6}}, {"internet", {1, 3, 6, 1}}});
  load("MORE-MIB", {{"mgmt", {1, 3, 6, 1, 2}}, {"directory", {1, 3, 6, 1, 1}}, {"private", {1, 3, 6, 1, 4}}});
  EXPECT_EQ(childOf("internet"), "directory");
  EXPECT_EQ(parentOf("mgmt"), "internet");
  EXPECT_EQ(nextOf("directory"), "mgmt");
  EXPECT_EQ(nextOf("mgmt"), "private");
  EXPECT_EQ(previousOf("private"), "mgmt");
  EXPECT_EQ(parentOf("iso"), "<none>");
  EXPECT_EQ(WsmGetLastError(), 202u);
  EXPECT_EQ(childOf("private"), "<none>");
  EXPECT_EQ(WsmGetLastError(), 202u);
  // A null name gives the node of the smallest OID.
  EXPECT_EQ(name(WsmMapStrToNode(nullptr)), "iso");
  EXPECT_EQ(name(byOid({1, 3, 6, 1, 2})), "mgmt");
  EXPECT_EQ(byOid({1, 3, 6, 1, 3}), 0u);
  EXPECT_EQ(WsmGetLastError(), 200u);
  EXPECT_EQ(WsmMapStrToNode("Mgmt"), 0u);  // names compare exactly
  EXPECT_EQ(WsmMapOidToNode(nullptr), 0u);
  EXPECT_EQ(WsmGetLastError(), 200u);
}

TEST_F(TreeRules, ANullNameFindsNothingInAnEmptyTree) {
  EXPECT_EQ(WsmMapStrToNode(nullptr), 0u);
  EXPECT_EQ(WsmGetLastError(), 200u);
}

TEST_F(TreeRules, ANameUsedTwiceFindsTheSmallerOid) {
  load("DUP-MIB", {{"twice", {1, 3, 9}}, {"twice", {1, 3, 2}}, {"once", {1, 3, 5}}});
  EXPECT_EQ(oidOf(WsmMapStrToNode("twice")), (std::vector<smiUINT32>{1, 3, 2}));
}

TEST_F(TreeRules, ModulesDefiningOneOidShareItsNode) {
  load("FIRST-MIB", {{"first", {1, 3, 6}}});
  load("SECOND-MIB", {{"second", {1, 3, 6}}});
  HWSM_NODE shared = byOid({1, 3, 6});
  EXPECT_EQ(name(shared), "first");  // the module loaded first
  EXPECT_EQ(WsmMapStrToNode("second"), 0u);
  // The definitions of "RFC1155-SMI" go first, whenever it is loaded.
  load("RFC1155-SMI", {{"dod", {1, 3, 6}}});
  EXPECT_EQ(name(shared), "dod");
  EXPECT_EQ(text(shared, WSM_NODE_MODULE), "RFC1155-SMI");
  // Unloading one module leaves the node with the next definition.
  ASSERT_TRUE(WsmUnloadModule("RFC1155-SMI"));
  EXPECT_EQ(name(shared), "first");
  ASSERT_TRUE(WsmUnloadModule("FIRST-MIB"));
  EXPECT_EQ(name(shared), "second");
  EXPECT_EQ(WsmMapStrToNode("second"), shared);
}

TEST_F(TreeRules, UnloadingAnInnerNodeHandsItsChildrenToItsParent) {
  load("OUTER-MIB", {{"iso", {1}}, {"org", {1, 3}}});
  load("LEAF-MIB", {{"leaf", {1, 3, 6, 1, 7}}, {"sibling", {1, 3, 6, 1, 8}}, {"low", {1, 3, 2}}});
  load("INNER-MIB", {{"dod", {1, 3, 6}}});
  EXPECT_EQ(parentOf("leaf"), "dod");  // adopted when dod came
  EXPECT_EQ(childOf("org"), "low");
  EXPECT_EQ(nextOf("low"), "dod");
  load("DEEP-MIB", {{"internet", {1, 3, 6, 1}}, {"deep", {1, 3, 6, 1, 2}}});
  EXPECT_EQ(childOf("internet"), "deep");
  EXPECT_EQ(nextOf("deep"), "leaf");
  ASSERT_TRUE(WsmUnloadModule("OUTER-MIB"));
  // Nothing of the modules that stay loaded goes; org's children have no
  // loaded ancestor now and stand beside one another at the top.
  EXPECT_EQ(parentOf("dod"), "<none>");
  EXPECT_EQ(name(WsmMapStrToNode(nullptr)), "low");
  EXPECT_EQ(nextOf("low"), "dod");
  EXPECT_EQ(parentOf("leaf"), "internet");
  ASSERT_TRUE(WsmUnloadModule("DEEP-MIB"));
  EXPECT_EQ(parentOf("leaf"), "dod");
  EXPECT_EQ(childOf("dod"), "leaf");
  EXPECT_EQ(nextOf("leaf"), "sibling");
  EXPECT_EQ(loadedModules(), (std::vector<std::string>{"LEAF-MIB", "INNER-MIB"}));
  WSM_MODULE_INFO info{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  ASSERT_TRUE(WsmGetModuleInfo("LEAF-MIB", &info));
  EXPECT_EQ(info.dwNodeCount, 3u);
}

TEST_F(TreeRules, ANodeWithoutItsParentHangsUnderItsNearestLoadedAncestor) {
  load("ORPHAN-MIB", {{"org", {1, 3}}, {"a", {1, 3, 5}}, {"aChild", {1, 3, 5, 1}}, {"orphan", {1, 3, 6, 2}},
                      {"last", {1, 3, 7}}});
  // 1.3.6 is absent: org is the nearest ancestor loaded, and the orphan
  // stands among org's children in OID order.
  EXPECT_EQ(parentOf("orphan"), "org");
  EXPECT_EQ(nextOf("a"), "orphan");
  EXPECT_EQ(nextOf("orphan"), "last");
  EXPECT_EQ(childOf("aChild"), "<none>");
  // Its real parent, loaded later, adopts it.
  load("PARENT-MIB", {{"dod", {1, 3, 6}}, {"later", {1, 3, 6, 1}}});
  EXPECT_EQ(parentOf("orphan"), "dod");
  EXPECT_EQ(childOf("dod"), "later");
  EXPECT_EQ(nextOf("later"), "orphan");
  EXPECT_EQ(nextOf("a"), "dod");
  EXPECT_EQ(nextOf("dod"), "last");
}

TEST_F(TreeRules, TheTreeIsTheSameWhateverTheLoadOrder) {
  const std::vector<std::pair<std::string, std::vector<NodeEntry>>> modules = {
      {"SMI-MIB", {{"iso", {1}}, {"org", {1, 3}}, {"dod", {1, 3, 6}}, {"internet", {1, 3, 6, 1}},
                   {"mgmt", {1, 3, 6, 1, 2}}, {"private", {1, 3, 6, 1, 4}}, {"enterprises", {1, 3, 6, 1, 4, 1}}}},
      {"MIB2-MIB", {{"mib2", {1, 3, 6, 1, 2, 1}}, {"system", {1, 3, 6, 1, 2, 1, 1}}}},
      {"IF-MIB", {{"ifTable", {1, 3, 6, 1, 2, 1, 2, 2}}}},
      {"VENDOR-MIB", {{"product", {1, 3, 6, 1, 4, 1, 99, 1}}, {"vendor", {1, 3, 6, 1, 4, 1, 99}}}},
  };
  for (const auto& [module, nodes] : modules) registerBytes(module, moduleWithNodes(module, nodes));
  std::vector<size_t> order = {0, 1, 2, 3};
  std::optional<std::map<std::string, std::string>> first;
  do {
    for (size_t index : order) ASSERT_TRUE(WsmLoadModule(modules[index].first.c_str()));
    std::map<std::string, std::string> links = allLinks();
    if (!first) first = links;
    EXPECT_EQ(links, *first) << "loading " << order[0] << order[1] << order[2] << order[3];
    // Unloading in the same order leaves the other modules' tree as it
    // would be had they been loaded alone.
    ASSERT_TRUE(WsmUnloadModule(modules[order[0]].first.c_str()));
    ASSERT_TRUE(WsmLoadModule(modules[order[0]].first.c_str()));
    EXPECT_EQ(allLinks(), *first);
    for (size_t index : order) ASSERT_TRUE(WsmUnloadModule(modules[index].first.c_str()));
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ((*first)["ifTable"], "mib2 <none> <none> system");  // mib2.2 absent: under mib2, after system
  EXPECT_EQ((*first)["system"], "mib2 <none> ifTable <none>");
  EXPECT_EQ((*first)["product"], "vendor <none> <none> <none>");
  EXPECT_EQ((*first)["enterprises"], "private vendor <none> <none>");
}

TEST_F(TreeRules, AFirstChildsRemovalHandsTheRoleToASibling) {
  load("PARENT-MIB", {{"p", {1, 3}}});
  load("MIDDLE-MIB", {{"middle", {1, 3, 5}}});
  load("OTHERS-MIB", {{"low", {1, 3, 2}}, {"high", {1, 3, 9}}});
  EXPECT_EQ(childOf("p"), "low");
  ASSERT_TRUE(WsmUnloadModule("OTHERS-MIB"));
  EXPECT_EQ(childOf("p"), "middle");
  EXPECT_EQ(nextOf("middle"), "<none>");
  EXPECT_EQ(previousOf("middle"), "<none>");
}

TEST_F(TreeRules, UnloadingLeavesNoNodeBehind) {
  load("A-MIB", {{"a", {1, 3}}, {"a2", {1, 3, 1}}});
  load("B-MIB", {{"b", {1, 3, 1}}, {"b2", {1, 3, 1, 4}}});
  EXPECT_GT(modbase::treeNodeHeap().liveCount(), 0);
  ASSERT_TRUE(WsmUnloadModule("B-MIB"));
  ASSERT_TRUE(WsmUnloadModule("A-MIB"));
  EXPECT_EQ(modbase::treeNodeHeap().liveCount(), 0);
}

TEST_F(TreeRules, ADefinitionWithoutMemoryStaysOutWithoutFailingTheLoad) {
  registerBytes("TIGHT-MIB", moduleWithNodes("TIGHT-MIB", {{"one", {1, 3}}, {"two", {1, 3, 1}}}));
  ASSERT_TRUE(WsmEnumRegisteredModule(0, nullptr, 0));  // the library is started
  // Every allocation the load makes before its tree nodes is from other
  // allocators; the first tree node is the one that fails.
  platform::failAllocationAfter(0);
  bool loaded = WsmLoadModule("TIGHT-MIB");
  platform::failAllocationAfter(-1);
  ASSERT_TRUE(loaded) << WsmGetLastError();
  WSM_MODULE_INFO info{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  ASSERT_TRUE(WsmGetModuleInfo("TIGHT-MIB", &info));
  EXPECT_EQ(info.dwNodeCount, 1u);
  EXPECT_EQ(WsmMapStrToNode("one"), 0u);
  EXPECT_EQ(parentOf("two"), "<none>");
}

}  // namespace
