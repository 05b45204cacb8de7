#include "info_text.h"

#include "modforge/compiler.h"

#include <gtest/gtest.h>

namespace modforge {
namespace {

class NoImports final : public ModuleLocator {
 public:
  std::string locate(const std::string&, CompileLog&) override { return {}; }
};

class InfoText : public testing::Test {
 protected:
  void compile(const std::string& body) {
    ASSERT_TRUE(compiler.compileText("INFO-MIB DEFINITIONS ::= BEGIN\n" + body + "\nEND\n", "info.mib"));
  }
  std::string infoOf(const std::string& name) {
    const Node* node = compiler.tree().findByName(name);
    return node ? nodeInfoText(*node, compiler.types()) : "(no node " + name + ")";
  }

  CollectingLog log;
  NoImports locator;
  Compiler compiler{log, locator};
};

TEST_F(InfoText, AnObjectTypeShowsItsSyntaxTheResolvedTypeAndEveryClause) {
  compile(R"(
    Port ::= INTEGER (0..65535 | 70000)
    base OBJECT IDENTIFIER ::= { iso 3 }
    port OBJECT-TYPE
      SYNTAX Port
      UNITS "port number"
      MAX-ACCESS read-write
      STATUS current
      DESCRIPTION "The port."
      REFERENCE "RFC 793"
      ::= { base 1 })");
  EXPECT_EQ(infoOf("port"),
            "MODULE: INFO-MIB\r\n\r\n\r\nOBJECT-TYPE\r\n\r\nNAME: port"
            "\r\nSYNTAX: Port"
            "\r\nBASE SYNTAX: INTEGER (0 .. 65535 | 70000 .. 70000)"
            "\r\nUNITS: port number\r\nMAX-ACCESS: read-write\r\nSTATUS: current"
            "\r\nDESCRIPTION: The port.\r\nREFERENCE: RFC 793\r\nOID: 1.3.1");
}

TEST_F(InfoText, EnumerationsAreListedOneALineAndMissingClausesSaySo) {
  compile(R"(
    base OBJECT IDENTIFIER ::= { iso 3 }
    state OBJECT-TYPE
      SYNTAX INTEGER { up(1), down(2) }
      ACCESS read-only
      STATUS mandatory
      ::= { base 2 })");
  EXPECT_EQ(infoOf("state"),
            "MODULE: INFO-MIB\r\n\r\n\r\nOBJECT-TYPE\r\n\r\nNAME: state"
            "\r\nSYNTAX: INTEGER  {\r\n\tup(1), \r\n\tdown(2)  }"
            "\r\nBASE SYNTAX: INTEGER  {\r\n\tup(1), \r\n\tdown(2)  }"
            "\r\nUNITS: None Avaible\r\nMAX-ACCESS: read-only\r\nSTATUS: mandatory"
            "\r\nDESCRIPTION: None Avaible\r\nREFERENCE: None Avaible\r\nOID: 1.3.2");
}

TEST_F(InfoText, AModuleIdentityShowsItsOwnClauses) {
  compile(R"(
    info MODULE-IDENTITY
      LAST-UPDATED "200001010000Z"
      ORGANIZATION "Orvane"
      CONTACT-INFO "support"
      DESCRIPTION "Info module."
      ::= { iso 7 })");
  EXPECT_EQ(infoOf("info"),
            "MODULE: INFO-MIB\r\n\r\n\r\nMODULE-IDENTITY\r\n\r\nNAME: info"
            "\r\nLAST-UPDATED: 200001010000Z\r\nORGANIZATION: Orvane\r\nCONTACT-INFO: support"
            "\r\nDESRIPTION: Info module.\r\nOID: 1.7");
}

TEST_F(InfoText, GroupsNotificationsAndPlainIdentifiersListTheirMembers) {
  compile(R"(
    base OBJECT IDENTIFIER ::= { iso 3 }
    alarm NOTIFICATION-TYPE
      OBJECTS { a, b }
      STATUS current
      DESCRIPTION "Raised."
      ::= { base 3 }
    things OBJECT-GROUP
      OBJECTS { a, b }
      STATUS current
      DESCRIPTION "Things."
      ::= { base 4 }
    alarms NOTIFICATION-GROUP
      NOTIFICATIONS { alarm }
      STATUS current
      DESCRIPTION "Alarms."
      ::= { base 5 })");
  EXPECT_EQ(infoOf("base"), "MODULE: INFO-MIB\r\n\r\n\r\nOBJECT IDENTIFIER\r\n\r\nNAME: base\r\nOID: 1.3");
  EXPECT_EQ(infoOf("alarm"),
            "MODULE: INFO-MIB\r\n\r\n\r\nNOTIFICATION-TYPE\r\n\r\nNAME: alarm\r\nOBJECTS: { a, b }"
            "\r\nSTATUS: current\r\nDESCRIPTION: Raised.\r\nREFERENCE: None Avaible\r\nOID: 1.3.3");
  EXPECT_EQ(infoOf("things"),
            "MODULE: INFO-MIB\r\n\r\n\r\nOBJECT-GROUP\r\n\r\nNAME: things\r\nOBJECTS: a, b"
            "\r\nSTATUS: current\r\nDESCRIPTION: Things.\r\nREFERENCE: None Avaible\r\nOID: 1.3.4");
  EXPECT_NE(infoOf("alarms").find("\r\nNOTIFICATIONSS: { alarm }\r\n"), std::string::npos);
}

TEST_F(InfoText, AComplianceListsItsModulesGroupsAndObjects) {
  compile(R"(
    base OBJECT IDENTIFIER ::= { iso 3 }
    full MODULE-COMPLIANCE
      STATUS current
      DESCRIPTION "Everything."
      MODULE
        MANDATORY-GROUPS { things, alarms }
        GROUP extras
          DESCRIPTION "When there are extras."
        OBJECT port
          MIN-ACCESS read-only
          DESCRIPTION "Read-only is enough."
      ::= { base 6 })");
  EXPECT_EQ(infoOf("full"),
            "MODULE: INFO-MIB\r\n\r\n\r\nMODULE-COMPLIANCE\r\n\r\nNAME: full"
            "\r\nSTATUS: current\r\nDESCRIPTION: Everything.\r\nREFERENCE: None Avaible"
            "\r\nMODULE: INFO-MIB\r\n\tMANDATORY-GROUPS { things, alarms }"
            "\r\n\tGROUP: extras\r\n\tDESCRIPTION: When there are extras."
            "\r\n\tOBJECT: port\r\n\tMIN-ACCESS: read-only\r\n\tDESCRIPTION: Read-only is enough."
            "\r\nOID: 1.3.6");
}

}  // namespace
}  // namespace modforge
