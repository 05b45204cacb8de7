#include "compiler_fixture.h"

#include <string>
#include <vector>

using namespace modforge;

namespace {

using TreePlacement = CompilerTest;

// Names of the global node list in order.
std::vector<std::string> listOrder(const MibTree& tree) {
  std::vector<std::string> names;
  for (Node* node = tree.first(); node && names.size() < 1000; node = node->next) names.push_back(node->name);
  return names;
}

TEST_F(TreePlacement, CreatesARootOnDemandAndSetsTheModuleRootOid) {
  EXPECT_TRUE(compileModule("x OBJECT IDENTIFIER ::= { iso 3 }"));
  ASSERT_NE(node("iso"), nullptr);
  EXPECT_EQ(oidOf("iso"), "1");
  EXPECT_EQ(node("iso")->definition.kind, NodeKind::objectIdentifier);
  EXPECT_EQ(oidOf("x"), "1.3");
  EXPECT_EQ(node("x")->parent, node("iso"));
  EXPECT_EQ(compiler->modules().find("TEST-MIB")->rootOid, "1.3");
}

TEST_F(TreePlacement, PlacesNodesUnderNumericParents) {
  EXPECT_TRUE(compileModule("a OBJECT IDENTIFIER ::= { 1 3 6 }\n"  // makes no node: 1.3 does not exist
                            "b OBJECT IDENTIFIER ::= { 0 0 }\n"
                            "c OBJECT IDENTIFIER ::= { 2 }\n"
                            "d OBJECT IDENTIFIER ::= { 0 0 7 }\n"));
  EXPECT_EQ(node("a"), nullptr);
  EXPECT_TRUE(logged("WARNING! Parent not FOUND !\t(1.3 <- a)"));
  EXPECT_EQ(oidOf("ccitt"), "0");
  EXPECT_EQ(oidOf("b"), "0.0");
  EXPECT_EQ(oidOf("c"), "2");
  EXPECT_EQ(node("c")->parent, nullptr);
  EXPECT_EQ(oidOf("d"), "0.0.7");
  EXPECT_EQ(node("d")->parent, node("b"));
}

TEST_F(TreePlacement, MakesTheNodesOfANameNumberChain) {
  EXPECT_TRUE(compileModule("internet OBJECT IDENTIFIER ::= { iso org(3) dod(6) 1 }"));
  EXPECT_EQ(oidOf("org"), "1.3");
  EXPECT_EQ(oidOf("dod"), "1.3.6");
  EXPECT_EQ(oidOf("internet"), "1.3.6.1");
  EXPECT_EQ(node("dod")->definition.kind, NodeKind::objectIdentifier);
}

TEST_F(TreePlacement, KeepsChildrenAndTheNodeListInOidOrder) {
  EXPECT_TRUE(compileModule("top OBJECT IDENTIFIER ::= { iso 3 }\n"
                            "c OBJECT IDENTIFIER ::= { top 10 }\n"
                            "a OBJECT IDENTIFIER ::= { top 2 }\n"
                            "b OBJECT IDENTIFIER ::= { top 5 }\n"
                            "a1 OBJECT IDENTIFIER ::= { a 1 }\n"
                            "zero OBJECT IDENTIFIER ::= { top 0 }\n"
                            "b9 OBJECT IDENTIFIER ::= { b 9 }\n"
                            "b3 OBJECT IDENTIFIER ::= { b 3 }\n"));
  EXPECT_EQ(listOrder(compiler->tree()),
            (std::vector<std::string>{"iso", "top", "zero", "a", "a1", "b", "b3", "b9", "c"}));
  Node* top = node("top");
  std::vector<std::string> children;
  for (Node* child = top->firstChild; child; child = child->nextSibling) children.push_back(child->name);
  EXPECT_EQ(children, (std::vector<std::string>{"zero", "a", "b", "c"}));
  EXPECT_EQ(top->lastChild, node("c"));
}

TEST_F(TreePlacement, KeepsTheFirstOfTwoNodesWithOneOid) {
  EXPECT_TRUE(compile("ONE DEFINITIONS ::= BEGIN\n first OBJECT IDENTIFIER ::= { iso 3 }\nEND\n"));
  EXPECT_TRUE(compile("TWO DEFINITIONS ::= BEGIN\n second OBJECT IDENTIFIER ::= { iso 3 }\nEND\n"));
  EXPECT_EQ(node("second"), nullptr);
  EXPECT_EQ(node("first")->module, "ONE");
  EXPECT_TRUE(logged("WARNING! Two nodes has same OID value (first (module: ONE), second (module: TWO) ). "
                     "Using from ONE module."));
}

TEST_F(TreePlacement, DropsTheRestOfAChainWhoseNodeExists) {
  EXPECT_TRUE(compileModule("org OBJECT IDENTIFIER ::= { iso 3 }\n"
                            "internet OBJECT IDENTIFIER ::= { iso org(3) dod(6) 1 }"));
  EXPECT_EQ(node("dod"), nullptr);
  EXPECT_EQ(node("internet"), nullptr);
}

TEST_F(TreePlacement, FiltersWarningsByLevel) {
  const std::string body =
      "x OBJECT IDENTIFIER ::= { iso 3 }\n"
      "y OBJECT IDENTIFIER ::= { iso 3 }\n"
      "z OBJECT IDENTIFIER ::= { nowhere 1 }\n";
  compiler->settings.warningLevel = 0;
  EXPECT_TRUE(compileModule(body));
  EXPECT_EQ(count("WARNING!"), 0);
  EXPECT_TRUE(logged("                   0 warning(s)."));

  compiler->clear();
  log.messages.clear();
  compiler->settings.warningLevel = 1;
  EXPECT_TRUE(compileModule(body));
  EXPECT_EQ(count("WARNING! Parent not FOUND !\t(nowhere <- z)"), 1);
  EXPECT_EQ(count("WARNING! Two nodes"), 0);
  EXPECT_TRUE(logged("                   1 warning(s)."));

  compiler->clear();
  log.messages.clear();
  compiler->settings.warningLevel = 2;
  EXPECT_TRUE(compileModule(body));
  EXPECT_EQ(count("WARNING!"), 2);
  EXPECT_EQ(node("z"), nullptr);
}

TEST_F(TreePlacement, ReportsBadAndMissingNumbers) {
  EXPECT_TRUE(compileModule("x OBJECT IDENTIFIER ::= { iso }\n"
                            "y OBJECT IDENTIFIER ::= { iso bad() 3 }\n"
                            "w OBJECT IDENTIFIER ::= { iso 4294967296 }\n"
                            "z OBJECT IDENTIFIER ::= iso 3\n"));
  EXPECT_TRUE(logged("*** ERROR at line(2): Missing number"));
  EXPECT_TRUE(logged("*** ERROR at line(3): Missing number"));
  EXPECT_TRUE(logged("*** ERROR at line(4): Bad Oid (Can't convert from string to smiNode)"));
  EXPECT_TRUE(logged("*** ERROR at line(5): Missing {"));
  for (const char* name : {"x", "y", "z", "w"}) EXPECT_EQ(node(name), nullptr) << name;
}

TEST_F(TreePlacement, ClearForgetsEverything) {
  EXPECT_TRUE(compileModule("T ::= INTEGER\nx OBJECT IDENTIFIER ::= { iso 3 }"));
  compiler->clear();
  EXPECT_EQ(compiler->tree().size(), 0u);
  EXPECT_EQ(compiler->tree().first(), nullptr);
  EXPECT_EQ(compiler->types().size(), 0u);
  EXPECT_TRUE(compiler->modules().all().empty());
  EXPECT_FALSE(compiler->wasCompiled("TEST-MIB"));
  EXPECT_TRUE(compileModule("x OBJECT IDENTIFIER ::= { iso 3 }"));
  EXPECT_EQ(count("WARNING!"), 0);
}

}  // namespace
