// How loaded modules merge into one tree, seen through the library calls.
#include "mib_tree.h"
#include "modbase_fixture.h"

#include "platform/heap.h"

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

TEST_F(TreeRules, UnloadingAnInnerNodeDropsEverythingBelowIt) {
  load("OUTER-MIB", {{"iso", {1}}, {"org", {1, 3}}});
  load("LEAF-MIB", {{"leaf", {1, 3, 6, 1, 7}}, {"sibling", {1, 3, 6, 1, 8}}});
  load("INNER-MIB", {{"dod", {1, 3, 6}}});
  EXPECT_EQ(parentOf("leaf"), "org");  // placed before dod existed
  load("DEEP-MIB", {{"internet", {1, 3, 6, 1}}, {"deep", {1, 3, 6, 1, 2}}});
  EXPECT_EQ(parentOf("deep"), "internet");
  ASSERT_TRUE(WsmUnloadModule("OUTER-MIB"));
  // org went, and with it every node whose parent it was, of any module.
  EXPECT_EQ(WsmMapStrToNode("leaf"), 0u);
  EXPECT_EQ(WsmMapStrToNode("sibling"), 0u);
  EXPECT_EQ(WsmMapStrToNode("dod"), 0u);
  EXPECT_EQ(WsmMapStrToNode("deep"), 0u);
  EXPECT_EQ(WsmMapStrToNode(nullptr), 0u);
  EXPECT_EQ(loadedModules(), (std::vector<std::string>{"LEAF-MIB", "INNER-MIB", "DEEP-MIB"}));
  // Their modules unload without trouble, and reloading brings the nodes back.
  ASSERT_TRUE(WsmUnloadModule("LEAF-MIB"));
  ASSERT_TRUE(WsmLoadModule("LEAF-MIB"));
  EXPECT_EQ(parentOf("leaf"), "<none>");
  EXPECT_EQ(nextOf("leaf"), "sibling");
}

TEST_F(TreeRules, AnOrphanHangsUnderTheNearestPrecedingNode) {
  load("ORPHAN-MIB", {{"org", {1, 3}}, {"a", {1, 3, 5}}, {"aChild", {1, 3, 5, 1}}, {"orphan", {1, 3, 6, 2}}});
  // The parent OID 1.3.6 is absent; 1.3.5.1 is the greatest OID not above it.
  EXPECT_EQ(parentOf("orphan"), "aChild");
  EXPECT_EQ(childOf("aChild"), "orphan");
  // A real parent loaded later does not adopt it, but takes new children.
  load("PARENT-MIB", {{"dod", {1, 3, 6}}, {"later", {1, 3, 6, 1}}});
  EXPECT_EQ(parentOf("orphan"), "aChild");
  EXPECT_EQ(childOf("dod"), "later");
  EXPECT_EQ(nextOf("later"), "orphan");
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
