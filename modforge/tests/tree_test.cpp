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
  EXPECT_TRUE(compileModule("a OBJECT IDENTIFIER ::= { 1 3 6 }\n"  // passes the unnamed 1.3
                            "b OBJECT IDENTIFIER ::= { 0 0 }\n"
                            "c OBJECT IDENTIFIER ::= { 2 }\n"
                            "d OBJECT IDENTIFIER ::= { 0 0 7 }\n"
                            "e OBJECT IDENTIFIER ::= { 7 1 }\n"));
  EXPECT_EQ(oidOf("a"), "1.3.6");
  EXPECT_EQ(node("a")->parent->name, "");
  EXPECT_EQ(node("a")->parent->parent, node("iso"));
  EXPECT_EQ(oidOf("ccitt"), "0");
  EXPECT_EQ(oidOf("b"), "0.0");
  EXPECT_EQ(oidOf("c"), "2");
  EXPECT_EQ(node("c")->parent, nullptr);
  EXPECT_EQ(oidOf("d"), "0.0.7");
  EXPECT_EQ(node("d")->parent, node("b"));
  // Only the three roots are made on demand.
  EXPECT_EQ(node("e"), nullptr);
  EXPECT_TRUE(logged("WARNING! Parent not FOUND !\t(7 <- e)"));
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

TEST_F(TreePlacement, ANameNumberChainGoesThroughNodesThatExist) {
  EXPECT_TRUE(compileModule("org OBJECT IDENTIFIER ::= { iso 3 }\n"
                            "internet OBJECT IDENTIFIER ::= { iso org(3) dod(6) 1 }\n"
                            "other OBJECT IDENTIFIER ::= { iso organisation(3) 7 }"));
  EXPECT_EQ(oidOf("dod"), "1.3.6");
  EXPECT_EQ(oidOf("internet"), "1.3.6.1");
  EXPECT_EQ(count("WARNING!"), 1);  // organisation is another name of org's OID
  EXPECT_EQ(oidOf("other"), "1.3.7");
  EXPECT_EQ(node("organisation"), nullptr);
}

// A parent name followed by several numbers: all but the last are the way
// there, through nodes that are made unnamed when missing.
TEST_F(TreePlacement, NumbersAfterAParentNameAreThePathToTheNode) {
  EXPECT_TRUE(compileModule("enterprises OBJECT IDENTIFIER ::= { iso 3 6 1 4 1 }\n"
                            "product OBJECT IDENTIFIER ::= { enterprises 2312 6 }\n"
                            "part OBJECT IDENTIFIER ::= { product 1 }\n"
                            "vendor OBJECT IDENTIFIER ::= { enterprises 2312 }\n"
                            "line OBJECT IDENTIFIER ::= { enterprises 2312 7 }\n"));
  EXPECT_EQ(oidOf("enterprises"), "1.3.6.1.4.1");
  EXPECT_EQ(oidOf("product"), "1.3.6.1.4.1.2312.6");
  EXPECT_EQ(oidOf("part"), "1.3.6.1.4.1.2312.6.1");
  // A later definition of an unnamed node's OID takes the node over.
  EXPECT_EQ(oidOf("vendor"), "1.3.6.1.4.1.2312");
  EXPECT_EQ(node("product")->parent, node("vendor"));
  EXPECT_EQ(node("line")->parent, node("vendor"));
  EXPECT_EQ(node("vendor")->module, "TEST-MIB");
  EXPECT_EQ(count("WARNING!"), 0);
  EXPECT_EQ(listOrder(compiler->tree()),
            (std::vector<std::string>{"iso", "", "", "", "", "enterprises", "vendor", "product", "part", "line"}));
}

// SMI lets a module use a name before its definition.
TEST_F(TreePlacement, ADefinitionWaitsForAParentDefinedLater) {
  EXPECT_TRUE(compileModule("mine MODULE-IDENTITY LAST-UPDATED \"x\" ORGANIZATION \"o\" CONTACT-INFO \"c\" "
                            "DESCRIPTION \"d\" ::= { project 5 }\n"
                            "leaf OBJECT IDENTIFIER ::= { mine 1 }\n"
                            "deep OBJECT IDENTIFIER ::= { leaf step(4) 2 }\n"
                            "other OBJECT IDENTIFIER ::= { step 9 }\n"
                            "top OBJECT IDENTIFIER ::= { iso 3 }\n"
                            "project OBJECT IDENTIFIER ::= { top 100 }\n"));
  EXPECT_EQ(oidOf("project"), "1.3.100");
  EXPECT_EQ(oidOf("mine"), "1.3.100.5");
  EXPECT_EQ(node("mine")->definition.kind, NodeKind::moduleIdentity);
  EXPECT_EQ(oidOf("leaf"), "1.3.100.5.1");
  EXPECT_EQ(oidOf("step"), "1.3.100.5.1.4");
  EXPECT_EQ(oidOf("deep"), "1.3.100.5.1.4.2");
  EXPECT_EQ(oidOf("other"), "1.3.100.5.1.4.9");
  EXPECT_EQ(count("WARNING!"), 0);
  // The first node attached sets the root OID.
  EXPECT_EQ(compiler->modules().find("TEST-MIB")->rootOid, "1.3");
}

TEST_F(TreePlacement, WhatStillLacksItsParentAtTheEndIsWarnedAboutOnce) {
  EXPECT_TRUE(compile("ONE DEFINITIONS ::= BEGIN\n"
                      "a OBJECT IDENTIFIER ::= { nowhere 1 }\n"
                      "b OBJECT IDENTIFIER ::= { a 1 }\n"
                      "c OBJECT IDENTIFIER ::= { d 1 }\n"
                      "d OBJECT IDENTIFIER ::= { c 1 }\n"
                      "END\n"
                      "TWO DEFINITIONS ::= BEGIN\n"
                      "nowhere OBJECT IDENTIFIER ::= { iso 3 }\n"
                      "END\n"));
  EXPECT_EQ(count("WARNING!"), 4);
  EXPECT_EQ(count("WARNING! Parent not FOUND !\t(nowhere <- a)"), 1);
  EXPECT_EQ(count("WARNING! Parent not FOUND !\t(a <- b)"), 1);
  EXPECT_TRUE(logged("WARNING! Parent not FOUND !\t(d <- c)"));
  EXPECT_TRUE(logged("WARNING! Parent not FOUND !\t(c <- d)"));
  // The modules are separate: TWO's nowhere came after ONE ended.
  for (const char* name : {"a", "b", "c", "d"}) EXPECT_EQ(node(name), nullptr) << name;
}

TEST_F(TreePlacement, AParentNameMeansTheModulesOwnThenTheImportedThenAnyDefinition) {
  writeSource("other.mib",
              "OTHER DEFINITIONS ::= BEGIN\n"
              "snmp OBJECT IDENTIFIER ::= { iso 11 }\n"
              "shared OBJECT IDENTIFIER ::= { iso 12 }\n"
              "loose OBJECT IDENTIFIER ::= { iso 13 }\n"
              "END\n");
  writeSource("third.mib",
              "THIRD DEFINITIONS ::= BEGIN\n"
              "shared OBJECT IDENTIFIER ::= { iso 2 }\n"
              "END\n");
  EXPECT_TRUE(compileModule("IMPORTS shared FROM OTHER x FROM THIRD;\n"
                            "counter OBJECT IDENTIFIER ::= { snmp 1 }\n"  // its own snmp, defined below
                            "snmp OBJECT IDENTIFIER ::= { iso 50 }\n"
                            "fromImport OBJECT IDENTIFIER ::= { shared 1 }\n"
                            "fromAnywhere OBJECT IDENTIFIER ::= { loose 1 }\n"));
  EXPECT_EQ(oidOf("counter"), "1.50.1");
  EXPECT_EQ(oidOf("fromImport"), "1.12.1");  // OTHER's shared, not THIRD's smaller OID
  EXPECT_EQ(oidOf("fromAnywhere"), "1.13.1");
  EXPECT_TRUE(logged("WARNING! Parent neither defined nor imported !\t(loose <- fromAnywhere). "
                     "Using from OTHER module."));
  EXPECT_EQ(count("WARNING!"), 1);
}

// An imported name whose definition was dropped as a second one of its OID
// stands for the node that holds the OID.
TEST_F(TreePlacement, AnImportedDuplicateNameMeansTheNodeOfItsOid) {
  EXPECT_TRUE(compile("FIRST DEFINITIONS ::= BEGIN\nenterprises OBJECT IDENTIFIER ::= { iso 4 1 }\nEND\n"));
  writeSource("second.mib",
              "SECOND DEFINITIONS ::= BEGIN\n"
              "ent OBJECT IDENTIFIER ::= { iso 4 1 }\n"
              "END\n");
  compiler->settings.warningLevel = 1;
  EXPECT_TRUE(compileModule("IMPORTS ent FROM SECOND;\nvendor OBJECT IDENTIFIER ::= { ent 9 }\n"));
  EXPECT_EQ(oidOf("vendor"), "1.4.1.9");
  EXPECT_EQ(count("WARNING!"), 0);
}

TEST_F(TreePlacement, RefusesOidsLongerThan128SubIdentifiers) {
  std::string body = "n0 OBJECT IDENTIFIER ::= { iso 1 }\n";
  for (int i = 1; i <= 130; ++i) {
    body += "n" + std::to_string(i) + " OBJECT IDENTIFIER ::= { n" + std::to_string(i - 1) + " 1 }\n";
  }
  std::string numbers;
  for (int i = 0; i < 130; ++i) numbers += " 1";
  body += "numeric OBJECT IDENTIFIER ::= {" + numbers + " }\n";
  body += "path OBJECT IDENTIFIER ::= { n100" + numbers + " }\n";
  EXPECT_TRUE(compileModule(body));
  EXPECT_EQ(node("n126")->oid.size(), 128u);
  EXPECT_EQ(node("n127"), nullptr);
  EXPECT_TRUE(logged("*** ERROR at line(129): OID longer than 128 sub-identifiers; the definition is dropped (n127)"));
  EXPECT_TRUE(logged("*** ERROR at line(133): OID longer than 128 sub-identifiers; the definition is dropped (numeric)"));
  EXPECT_EQ(node("numeric"), nullptr);
  EXPECT_EQ(node("path"), nullptr);
  EXPECT_EQ(count("*** ERROR"), 3);
  // n128 .. n130 wait for n127 and are dropped at the end.
  EXPECT_EQ(count("WARNING! Parent not FOUND !"), 3);
}

// A long chain of definitions written bottom-up is placed without
// recursion, in time and memory proportional to its length.
TEST_F(TreePlacement, PlacesALongChainWrittenInReverse) {
  std::string body;
  for (int i = 20000; i >= 1; --i) {
    body += "c" + std::to_string(i) + " OBJECT IDENTIFIER ::= { c" + std::to_string(i - 1) + " " +
            std::to_string(i % 7) + " }\n";
  }
  body += "c0 OBJECT IDENTIFIER ::= { iso 3 }\n";
  for (int i = 1; i <= 5000; ++i) {
    body += "w" + std::to_string(i) + " OBJECT IDENTIFIER ::= { c" + std::to_string(i % 100) + " " +
            std::to_string(100 + i) + " }\n";
  }
  EXPECT_TRUE(compileModule(body));
  EXPECT_EQ(node("c126")->oid.size(), 128u);
  EXPECT_EQ(node("c127"), nullptr);
  EXPECT_EQ(compiler->tree().size(), 1u + 127 + 5000);
  EXPECT_EQ(count("*** ERROR"), 1);
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
