// The node calls' edges: the string copying rule, handles of removed
// nodes, the user value, the reserved entry points and the error slot.
#include "modbase_fixture.h"

#include <cstring>

namespace {

using namespace testing_modules;

class NodeCalls : public ModuleLibrary {
 protected:
  void SetUp() override {
    ModuleLibrary::SetUp();
    smidb::Writer writer("CALLS-MIB", "");
    uint32_t own = writer.addName("CALLS-MIB");
    writer.addObjectType("sysDescr", Oid{1, 3, 6, 1, 2, 1, 1, 1}, own, {4, 1, 5}, "0123456789");
    registerBytes("CALLS-MIB", writer.bytes());
    ASSERT_TRUE(WsmLoadModule("CALLS-MIB"));
    node = WsmMapStrToNode("sysDescr");
    ASSERT_NE(node, 0u);
  }

  // Copies selector text into a buffer of `size` bytes filled with '#'.
  BOOL copy(UINT selector, smiUINT32 size) {
    std::memset(buffer, '#', sizeof buffer);
    reported = size;
    return WsmGetNodeString(node, selector, &reported, buffer);
  }

  HWSM_NODE node = 0;
  char buffer[32];
  smiUINT32 reported = 0;
};

TEST_F(NodeCalls, StringsAreCopiedByTheSizeRule) {
  // "sysDescr" is 8 characters: 10 bytes are room enough.
  EXPECT_TRUE(copy(WSM_NODE_NAME, 10));
  EXPECT_STREQ(buffer, "sysDescr");
  EXPECT_EQ(reported, 8u);  // the name reports its length
  EXPECT_EQ(buffer[9], '\0');

  // Exactly one byte more than the text: all of it arrives, yet it fails.
  EXPECT_FALSE(copy(WSM_NODE_NAME, 9));
  EXPECT_EQ(WsmGetLastError(), 204u);
  EXPECT_STREQ(buffer, "sysDescr");
  EXPECT_EQ(reported, 8u);

  EXPECT_FALSE(copy(WSM_NODE_NAME, 4));
  EXPECT_STREQ(buffer, "sys");
  EXPECT_EQ(reported, 3u);
  EXPECT_EQ(buffer[4], '#');

  // Other selectors report the bytes copied.
  EXPECT_TRUE(copy(WSM_NODE_DESCRIPTION, 12));
  EXPECT_EQ(reported, 11u);
  EXPECT_FALSE(copy(WSM_NODE_DESCRIPTION, 11));
  EXPECT_EQ(reported, 11u);
  EXPECT_FALSE(copy(WSM_NODE_DESCRIPTION, 5));
  EXPECT_STREQ(buffer, "0123");
  EXPECT_EQ(reported, 5u);

  // No room at all: nothing is written (there is no last byte to clear).
  EXPECT_FALSE(copy(WSM_NODE_NAME, 0));
  EXPECT_EQ(WsmGetLastError(), 204u);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_FALSE(WsmGetNodeString(node, WSM_NODE_NAME, nullptr, buffer));
  EXPECT_EQ(WsmGetLastError(), 291u);
  smiUINT32 size = 10;
  EXPECT_FALSE(WsmGetNodeString(node, WSM_NODE_NAME, &size, nullptr));
  EXPECT_EQ(WsmGetLastError(), 291u);
}

TEST_F(NodeCalls, IntegersMayBeAskedForWithoutAResult) {
  EXPECT_TRUE(WsmGetNodeInt(node, WSM_NODE_SYNTAX, nullptr));
  EXPECT_FALSE(WsmGetNodeInt(node, 10, nullptr));
  EXPECT_EQ(WsmGetLastError(), 203u);
}

TEST_F(NodeCalls, EachNodeKeepsAUserValue) {
  smiINT32 value = 99;
  ASSERT_TRUE(WsmGetNodeLong(node, &value));
  EXPECT_EQ(value, 0);
  smiINT32 stored = -12345;
  ASSERT_TRUE(WsmSetNodeLong(node, &stored));
  ASSERT_TRUE(WsmGetNodeLong(node, &value));
  EXPECT_EQ(value, -12345);
  EXPECT_FALSE(WsmGetNodeLong(node, nullptr));
  EXPECT_EQ(WsmGetLastError(), 291u);
}

TEST_F(NodeCalls, HandlesOfRemovedNodesAreRefused) {
  ASSERT_TRUE(WsmUnloadModule("CALLS-MIB"));
  // Load something else, which may reuse the node's memory and slot.
  registerBytes("OTHER-MIB", moduleWithNodes("OTHER-MIB", {{"other", {1, 3}}, {"child", {1, 3, 1}}}));
  ASSERT_TRUE(WsmLoadModule("OTHER-MIB"));
  for (HWSM_NODE stale : {node, HWSM_NODE(12345), HWSM_NODE(0), ~HWSM_NODE(0)}) {
    EXPECT_EQ(WsmFindNodeChild(stale), 0u);
    EXPECT_EQ(WsmGetLastError(), 202u);
    EXPECT_EQ(WsmFindNodeParent(stale), 0u);
    EXPECT_EQ(text(stale, WSM_NODE_NAME), "<error 201>");
    EXPECT_EQ(code(stale, WSM_NODE_KIND), 1201u);
    smiINT32 value = 0;
    EXPECT_FALSE(WsmSetNodeLong(stale, &value));
    EXPECT_EQ(WsmGetLastError(), 201u);
  }
  EXPECT_EQ(name(WsmFindNodeChild(WsmMapStrToNode("other"))), "child");
}

TEST_F(NodeCalls, ReservedEntryPointsDoNothing) {
  EXPECT_FALSE(WsmMapStrToNode("nothing"));  // leaves an error behind
  EXPECT_FALSE(WsmGetNodeList(node, 1, buffer));
  EXPECT_EQ(WsmGetLastError(), 0u);
  EXPECT_FALSE(WsmGetListElementOid(buffer, 0, buffer));
  EXPECT_FALSE(WsmGetListElementInt(buffer, 0, buffer));
  EXPECT_FALSE(WsmGetListElementList(buffer, 0, buffer));
  EXPECT_FALSE(WsmGetListElementString(buffer, 0, &reported, buffer));
  EXPECT_FALSE(WsmFindNextListElement(buffer));
  EXPECT_FALSE(WsmFreeList(buffer));
  EXPECT_EQ(WsmGetLastError(), 0u);
}

TEST_F(NodeCalls, EveryCallClearsTheErrorAndReadingItDoesNot) {
  EXPECT_EQ(WsmMapStrToNode("nothing"), 0u);
  EXPECT_EQ(WsmGetLastError(), 200u);
  EXPECT_EQ(WsmGetLastError(), 200u);
  EXPECT_EQ(WsmMapStrToNode("sysDescr"), node);
  EXPECT_EQ(WsmGetLastError(), 0u);
}

TEST_F(NodeCalls, CopiedOidsAreTheCallersToFree) {
  smiOID oid{};
  ASSERT_TRUE(WsmGetNodeOid(node, WSM_NODE_OID, &oid));
  ASSERT_EQ(oid.len, 8u);
  EXPECT_EQ(oid.ptr[7], 1u);
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid)), SNMPAPI_SUCCESS);
  // Without a place to put it, the copy's own error comes through.
  EXPECT_FALSE(WsmGetNodeOid(node, WSM_NODE_OID, nullptr));
  EXPECT_EQ(WsmGetLastError(), static_cast<DWORD>(SNMPAPI_OID_INVALID));
}

}  // namespace
