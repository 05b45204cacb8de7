#include "compiler_fixture.h"

#include "modforge/lexer.h"
#include "modforge/token.h"

#include <string>

using namespace modforge;

namespace {

using Parsing = CompilerTest;

constexpr const char* kRoot = "test OBJECT IDENTIFIER ::= { iso 3 }\n";

TEST_F(Parsing, CompilesTwoModulesOfOneFile) {
  EXPECT_TRUE(compile("FIRST-MIB DEFINITIONS ::= BEGIN\n first OBJECT IDENTIFIER ::= { iso 3 }\nEND\n"
                      "SECOND-MIB DEFINITIONS ::= BEGIN\n second OBJECT IDENTIFIER ::= { first 6 }\nEND\n"));
  EXPECT_EQ(node("first")->module, "FIRST-MIB");
  EXPECT_EQ(node("second")->module, "SECOND-MIB");
  EXPECT_EQ(oidOf("second"), "1.3.6");
  EXPECT_EQ(compiler->compiledModules(), (std::vector<std::string>{"FIRST-MIB", "SECOND-MIB"}));
}

TEST_F(Parsing, FailsWithoutAModuleHeader) {
  EXPECT_FALSE(compile("just some words\n"));
  EXPECT_TRUE(logged("*** ERROR at line(1): This file doesnt seem to be a valid file"));
  // A header needs a word for the module's name.
  EXPECT_FALSE(compile("\"quoted\" DEFINITIONS ::= BEGIN\nEND\n"));
  EXPECT_FALSE(compile("DEFINITIONS ::= BEGIN\nEND\n"));
  EXPECT_TRUE(compiler->compiledModules().empty());
}

TEST_F(Parsing, IgnoresAnImportGroupWithoutAModuleName) {
  EXPECT_TRUE(compile("M DEFINITIONS ::= BEGIN\nIMPORTS a FROM ;\nx OBJECT IDENTIFIER ::= { iso 3 }\nEND\n"));
  EXPECT_EQ(count("Cannot import"), 0);
  EXPECT_NE(node("x"), nullptr);
}

TEST_F(Parsing, ReportsAMissingClauseAtTheLineOfTheTokenFoundInstead) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "value OBJECT-TYPE\n"
                            "  SYNTAX INTEGER\n"
                            "  ACCESS read-only\n"
                            "  DESCRIPTION \"no status\"\n"
                            "  ::= { test 1 }\n"));
  EXPECT_TRUE(logged("*** ERROR at line(6): Missing STATUS"));
  ASSERT_NE(node("value"), nullptr);
  EXPECT_EQ(node("value")->definition.status, 0);
  EXPECT_EQ(node("value")->definition.access, kReadOnly);
  EXPECT_EQ(node("value")->definition.description, "no status");
}

TEST_F(Parsing, ReportsMissingHeaderTokens) {
  EXPECT_TRUE(compile("M DEFINITIONS BEGIN\nx OBJECT IDENTIFIER ::= { iso 3 }\nEND\n"));
  EXPECT_TRUE(logged("*** ERROR at line(1): Missing ::="));
  EXPECT_NE(node("x"), nullptr);
}

TEST_F(Parsing, StoresEnumerationsRangesAndSizes) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "state OBJECT-TYPE SYNTAX INTEGER { up(1), down(2), gone(-3) } "
                            "ACCESS read-write STATUS mandatory ::= { test 1 }\n"
                            "port OBJECT-TYPE SYNTAX INTEGER (0..65535) ACCESS read-only STATUS current ::= { test 2 }\n"
                            "name OBJECT-TYPE SYNTAX OCTET STRING (SIZE (0..255)) UNITS \"chars\" "
                            "MAX-ACCESS read-create STATUS deprecated ::= { test 3 }\n"
                            "mixed OBJECT-TYPE SYNTAX INTEGER (-5 | 1..'0F'H | '101'B) "
                            "ACCESS read-only STATUS obsolete ::= { test 4 }\n"));
  const Syntax& state = node("state")->definition.syntax;
  EXPECT_EQ(state.baseToken, kInteger);
  EXPECT_EQ(state.enumeration, (EnumerationList{{"up", 1}, {"down", 2}, {"gone", -3}}));
  EXPECT_EQ(node("port")->definition.syntax.ranges, (RangeList{{0, 65535}}));
  const Definition& name = node("name")->definition;
  EXPECT_EQ(name.syntax.text, "OCTET STRING");
  EXPECT_EQ(name.syntax.ranges, (RangeList{{0, 255}}));
  EXPECT_EQ(name.units, "chars");
  EXPECT_EQ(name.access, kReadCreate);
  EXPECT_EQ(name.status, kDeprecated);
  EXPECT_EQ(node("mixed")->definition.syntax.ranges, (RangeList{{-5, -5}, {1, 15}, {5, 5}}));
}

TEST_F(Parsing, ReportsAnEnumerationItemWithoutParenthesis) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "state OBJECT-TYPE SYNTAX INTEGER { up 1, down(2) } "
                            "ACCESS read-write STATUS current ::= { test 1 }\n"));
  EXPECT_TRUE(logged("*** ERROR at line(3): Missing ("));
  EXPECT_EQ(node("state")->definition.syntax.enumeration, (EnumerationList{{"down", 2}}));
}

TEST_F(Parsing, MakesNoNodeForATrap) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "alarm TRAP-TYPE ENTERPRISE test VARIABLES { a, b } DESCRIPTION \"d\" ::= 3\n"
                            "after OBJECT IDENTIFIER ::= { test 4 }\n"));
  EXPECT_EQ(node("alarm"), nullptr);
  EXPECT_EQ(oidOf("after"), "1.3.4");
}

TEST_F(Parsing, ResolvesNamedSyntaxThroughTheTypeTable) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "Integer32 ::= INTEGER (-2147483648..2147483647)\n"
                            "Counter32 ::= [APPLICATION 1] IMPLICIT INTEGER (0..4294967295)\n"
                            "Level ::= TEXTUAL-CONVENTION DISPLAY-HINT \"d\" STATUS current DESCRIPTION \"x\" "
                            "SYNTAX Integer32 (0..9)\n"
                            "count OBJECT-TYPE SYNTAX Integer32 (1..5) ACCESS read-only STATUS current ::= { test 1 }\n"));
  const TypeEntry* integer32 = compiler->types().find("Integer32");
  ASSERT_NE(integer32, nullptr);
  EXPECT_EQ(integer32->syntax.ranges, (RangeList{{-2147483648LL, 2147483647}}));
  EXPECT_EQ(compiler->types().find("Counter32")->syntax.baseToken, kInteger);
  // One level of resolution at definition time: Level copies Integer32.
  EXPECT_EQ(compiler->types().find("Level")->syntax.text, "INTEGER");
  const Syntax& syntax = node("count")->definition.syntax;
  EXPECT_EQ(syntax.baseToken, kIdentifier);
  EXPECT_EQ(syntax.text, "Integer32");
  EXPECT_EQ(compiler->types().baseTokenOf(syntax), kInteger);
}

TEST_F(Parsing, WarnsAboutARedefinedTypeAndKeepsTheLaterOne) {
  EXPECT_TRUE(compileModule("T ::= INTEGER\nT ::= OCTET STRING\n"));
  EXPECT_TRUE(logged("WARNING! Redefintion of type T. Using from TEST-MIB"));
  EXPECT_EQ(compiler->types().find("T")->syntax.baseToken, kOctet);
}

TEST_F(Parsing, SkipsMacrosAndExports) {
  EXPECT_TRUE(compile("SMI-LIKE DEFINITIONS ::= BEGIN\n"
                      "EXPORTS a, b, OBJECT-TYPE, c;\n"
                      "OBJECT-TYPE MACRO ::= BEGIN TYPE NOTATION ::= \"SYNTAX\" type VALUE NOTATION ::= "
                      "value (VALUE ObjectName) END\n"
                      "internet OBJECT IDENTIFIER ::= { iso org(3) dod(6) 1 }\n"
                      "END\n"));
  EXPECT_EQ(oidOf("internet"), "1.3.6.1");
  EXPECT_EQ(oidOf("dod"), "1.3.6");
  EXPECT_EQ(count("*** ERROR"), 0);
  EXPECT_EQ(compiler->tree().size(), 4u);  // iso, org, dod, internet
}

TEST_F(Parsing, KeepsTheTextsOfEachConstruct) {
  EXPECT_TRUE(compileModule(
      "ident MODULE-IDENTITY LAST-UPDATED \"2601010000Z\" ORGANIZATION \"Org\" CONTACT-INFO \"Me\" "
      "DESCRIPTION \"Mod\" REVISION \"2601010000Z\" DESCRIPTION \"first\" ::= { iso 3 }\n"
      "grp OBJECT-GROUP OBJECTS { a, b } STATUS current DESCRIPTION \"G\" REFERENCE \"R\" ::= { ident 1 }\n"
      "note NOTIFICATION-TYPE OBJECTS { a } STATUS current DESCRIPTION \"N\" ::= { ident 2 }\n"
      "notes NOTIFICATION-GROUP NOTIFICATIONS { note } STATUS current DESCRIPTION \"NG\" ::= { ident 3 }\n"
      "oid OBJECT-IDENTITY STATUS current DESCRIPTION \"OI\" REFERENCE \"see\" ::= { ident 4 }\n"
      "cap AGENT-CAPABILITIES PRODUCT-RELEASE \"1.0\" STATUS current DESCRIPTION \"AC\" "
      "SUPPORTS X INCLUDES { grp } ::= { ident 5 }\n"
      "comp MODULE-COMPLIANCE STATUS current DESCRIPTION \"MC\" MODULE MANDATORY-GROUPS { grp } "
      "GROUP notes DESCRIPTION \"opt\" OBJECT a MIN-ACCESS read-only DESCRIPTION \"ro\" ::= { ident 6 }\n"));
  EXPECT_EQ(count("*** ERROR"), 0);
  const Definition& ident = node("ident")->definition;
  EXPECT_EQ(ident.kind, NodeKind::moduleIdentity);
  EXPECT_EQ(ident.organization, "Org");
  EXPECT_EQ(ident.description, "Mod");
  EXPECT_EQ(node("grp")->definition.members, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(node("grp")->definition.reference, "R");
  EXPECT_EQ(node("note")->definition.kind, NodeKind::notificationType);
  EXPECT_EQ(node("notes")->definition.members, (std::vector<std::string>{"note"}));
  EXPECT_EQ(node("oid")->definition.reference, "see");
  EXPECT_EQ(node("cap")->definition.productRelease, "1.0");
  const Definition& comp = node("comp")->definition;
  ASSERT_EQ(comp.compliance.size(), 1u);
  EXPECT_EQ(comp.compliance[0].mandatoryGroups, (std::vector<std::string>{"grp"}));
  ASSERT_EQ(comp.compliance[0].entries.size(), 2u);
  EXPECT_TRUE(comp.compliance[0].entries[0].isGroup);
  EXPECT_EQ(comp.compliance[0].entries[1].minAccess, "read-only");
  EXPECT_EQ(oidOf("comp"), "1.3.6");
}

TEST_F(Parsing, ReportsMissingClausesOfGroupsAndIdentities) {
  EXPECT_TRUE(compileModule(std::string(kRoot) +
                            "grp OBJECT-GROUP STATUS current ::= { test 1 }\n"
                            "notes NOTIFICATION-GROUP STATUS current DESCRIPTION \"x\" junk ::= { test 2 }\n"
                            "ident MODULE-IDENTITY ::= { test 3 }\n"));
  EXPECT_TRUE(logged("*** ERROR at line(3): Missing OBJECTS"));
  EXPECT_TRUE(logged("*** ERROR at line(4): Missing NOTIFICATIONS"));
  EXPECT_TRUE(logged("*** ERROR at line(4): Missing REFERNCE"));
  EXPECT_TRUE(logged("*** ERROR at line(5): Miising LAST-UPDATED"));
}

TEST_F(Parsing, ReportsNestedBeginAndEndOfFileInsideAModule) {
  EXPECT_TRUE(compile("M DEFINITIONS ::= BEGIN\nBEGIN\nx OBJECT IDENTIFIER ::= { iso 3 }\n"));
  EXPECT_TRUE(logged("*** ERROR at line(2): Nested MIBs"));
  EXPECT_TRUE(logged("*** ERROR at line(3): Unexpected end of file"));
  EXPECT_NE(node("x"), nullptr);
}

TEST_F(Parsing, SurvivesDeepNestingWithoutRecursion) {
  std::string tags;
  std::string braces;
  for (int i = 0; i < 200000; ++i) {
    tags += "[1] IMPLICIT\n";
    braces += "{\n";
  }
  EXPECT_TRUE(compileModule("T ::= " + tags + "INTEGER\n" + "U ::= CHOICE " + braces + "\n" + kRoot));
  EXPECT_EQ(compiler->types().find("T")->syntax.baseToken, kInteger);
}

TEST_F(Parsing, EndsOnBinaryGarbageWithAClearError) {
  std::string garbage = "M DEFINITIONS ::= BEGIN\n";
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 131) % 256);
  EXPECT_FALSE(compile(garbage));
  EXPECT_EQ(count("*** ERROR at line("), Lexer::kErrorLimit + 1);
  EXPECT_EQ(log.messages[log.messages.size() - 4].find("Too many syntax errors") != std::string::npos, true);
}

TEST_F(Parsing, ClosesEveryRunWithStatistics) {
  EXPECT_TRUE(compile("M DEFINITIONS ::= BEGIN\nx OBJECT IDENTIFIER ::= { iso 3 }\nT ::= INTEGER\nT ::= INTEGER\n"
                      "bad OBJECT IDENTIFIER ::= { iso }\nEND\n"));
  ASSERT_GE(log.messages.size(), 3u);
  size_t last = log.messages.size();
  EXPECT_EQ(log.messages[last - 3], "                   6 source line(s).");
  EXPECT_EQ(log.messages[last - 2], "                   1 syntax error(s).");
  EXPECT_EQ(log.messages[last - 1], "                   1 warning(s).");
}

}  // namespace
