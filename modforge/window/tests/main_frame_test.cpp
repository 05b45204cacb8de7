// The compiler window's commands, driven as a person would drive them,
// with the dialogs answered by scripts.
#include "window_fixture.h"

#include "modforge/module_registry.h"
#include "wsm.h"

#include <QApplication>
#include <QFile>
#include <QTreeWidgetItemIterator>

#include <regex>

namespace modforge {
namespace {

namespace fs = std::filesystem;

constexpr char kTypesOnlyModule[] = R"(TYPES-ONLY-MIB DEFINITIONS ::= BEGIN
Kind ::= INTEGER { one(1), two(2) }
END
)";

int count(const std::string& text, const std::string& part) {
  int found = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

// Saves the window as a picture when ORVANE_SCREENSHOT_DIR names a folder.
void screenshot(QWidget& window, const char* name) {
  const char* shots = std::getenv("ORVANE_SCREENSHOT_DIR");
  if (!shots) return;
  window.show();
  QApplication::processEvents();
  window.grab().save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + QLatin1String(name) + ".png");
}

TEST_F(CompilerWindow, CompilingIfMibFillsTheTreeTheInformationAndTheLog) {
  std::string source = ifMib();
  REQUIRE_STANDARD_MIBS(source);
  compileCommand(source);
  EXPECT_TRUE(BoxScript::seen.empty()) << "nothing was compiled before: nothing to lose";

  std::string log = logText();
  EXPECT_EQ(log.rfind("Compiling " + source + "\n", 0), 0u) << log;
  EXPECT_NE(log.find("\nImporting SNMPv2-SMI\n"), std::string::npos);
  EXPECT_NE(log.find("Finshed compiling " + source + "\n"), std::string::npos);
  // Three statistics lines for IF-MIB and for each module it imports.
  std::regex statistics(R"( {10,}\d+ source line\(s\)\.\n {10,}\d+ syntax error\(s\)\.\n {10,}\d+ warning\(s\)\.\n)");
  auto runs = std::distance(std::sregex_iterator(log.begin(), log.end(), statistics), std::sregex_iterator());
  EXPECT_GE(runs, 5);
  EXPECT_EQ(count(log, "source line(s)."), runs);
  EXPECT_NE(log.find("                   0 syntax error(s)."), std::string::npos);

  EXPECT_EQ(frame->windowTitle(), "IF-MIB[*]");
  EXPECT_TRUE(frame->isWindowModified());
  // SNMPv2-SMI's zeroDotZero makes the root ccitt, the rest is under iso.
  CMibTreeView& tree = frame->treeView();
  ASSERT_EQ(tree.topLevelItemCount(), 2);
  EXPECT_EQ(tree.topLevelItem(0)->text(0), "ccitt (0)");
  EXPECT_EQ(tree.topLevelItem(1)->text(0), "iso (1)");
  EXPECT_TRUE(tree.topLevelItem(1)->child(0)->isExpanded());
  EXPECT_EQ(tree.topLevelItem(1)->child(0)->text(0), "org (3)");

  std::string status = infoOf("ifAdminStatus");
  EXPECT_EQ(status.rfind("MODULE: IF-MIB\n\n\nOBJECT-TYPE\n\nNAME: ifAdminStatus\n"
                         "SYNTAX: INTEGER  {\n\tup(1), \n\tdown(2), \n\ttesting(3)  }\n"
                         "BASE SYNTAX: INTEGER  {\n\tup(1), \n\tdown(2), \n\ttesting(3)  }\n"
                         "UNITS: None Avaible\nMAX-ACCESS: read-write\nSTATUS: current\n"
                         "DESCRIPTION: ",
                         0),
            0u)
      << status;
  EXPECT_NE(status.find("\nREFERENCE: None Avaible\nOID: 1.3.6.1.2.1.2.2.1.7"), std::string::npos) << status;

  std::string identity = infoOf("ifMIB");
  EXPECT_EQ(identity.rfind("MODULE: IF-MIB\n\n\nMODULE-IDENTITY\n\nNAME: ifMIB\nLAST-UPDATED: ", 0), 0u) << identity;
  EXPECT_NE(identity.find("\nORGANIZATION: IETF Interfaces MIB Working Group\nCONTACT-INFO: "), std::string::npos);
  EXPECT_NE(identity.find("\nDESRIPTION: The MIB module to describe generic objects"), std::string::npos);
  EXPECT_NE(identity.find("\nOID: 1.3.6.1.2.1.31"), std::string::npos);

  infoOf("ifAdminStatus");
  screenshot(*frame, "modforge-if-mib");
}

TEST_F(CompilerWindow, ASecondCompileAsksFirstAndNoKeepsTheTree) {
  std::string first = writeSource("FIRST-MIB.mib", "FIRST-MIB DEFINITIONS ::= BEGIN\nfirst OBJECT IDENTIFIER ::= { iso 7 }\nEND\n");
  std::string second = writeSource("SECOND-MIB.mib", "SECOND-MIB DEFINITIONS ::= BEGIN\nsecond OBJECT IDENTIFIER ::= { iso 8 }\nEND\n");
  compileCommand(first);
  BoxScript::answers = {IDNO};
  compileCommand(second);
  ASSERT_EQ(BoxScript::seen.size(), 1u);
  EXPECT_EQ(BoxScript::seen[0].text, "Compiled MIB Tree will be lost!\nDo you wish to proceed?");
  EXPECT_EQ(BoxScript::seen[0].caption, "Warning");
  EXPECT_EQ(BoxScript::seen[0].type & MB_TYPEMASK, MB_YESNO);
  EXPECT_NE(frame->document().compiler().tree().findByName("first"), nullptr);

  BoxScript::answers = {IDYES};
  compileCommand(second);
  EXPECT_EQ(frame->document().compiler().tree().findByName("first"), nullptr) << "the old tree is freed";
  EXPECT_NE(frame->document().compiler().tree().findByName("second"), nullptr);
  EXPECT_EQ(frame->document().module(), "SECOND-MIB");
}

TEST_F(CompilerWindow, SaveWritesAModuleTheLibraryLoadsAndRegistersItOnce) {
  std::string source = ifMib();
  REQUIRE_STANDARD_MIBS(source);
  compileCommand(source);
  std::string saved = (folder / "IF-MIB.smidb").string();
  prompts->saves = {saved, saved};
  BoxScript::answers = {IDYES};  // replace the file the first save wrote
  frame->saveCommand();
  EXPECT_EQ(prompts->suggestedSave, (fs::path(source).parent_path() / "IF-MIB.smidb").string());
  EXPECT_FALSE(frame->isWindowModified());
  frame->saveCommand();
  EXPECT_TRUE(boxShown("File " + saved + " already exists.\nDo you want to replace it?"));

  std::vector<RegisteredModule> registered = registeredModules();
  ASSERT_EQ(registered.size(), 1u) << "saving twice registers once";
  EXPECT_EQ(registered[0].identity, "IF-MIB");
  EXPECT_EQ(registered[0].databasePath, saved);
  EXPECT_EQ(registered[0].sourcePath, source);

  ASSERT_TRUE(WsmLoadModule("IF-MIB")) << WsmGetLastError();
  HWSM_NODE table = WsmMapStrToNode("ifTable");
  ASSERT_TRUE(table) << WsmGetLastError();
  smiOID oid{};
  ASSERT_TRUE(WsmGetNodeOid(table, WSM_NODE_OID, &oid));
  char text[64] = {};
  SnmpOidToStr(&oid, sizeof text, text);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  EXPECT_STREQ(text, "1.3.6.1.2.1.2.2");
  WsmUnloadModule("IF-MIB");
}

TEST_F(CompilerWindow, AModuleWithoutNodesIsNotSaved) {
  compileCommand(writeSource("TYPES-ONLY-MIB.mib", kTypesOnlyModule));
  frame->saveCommand();
  EXPECT_TRUE(boxShown("Compiled MIB file doesn't contain any OIDs. Nothing to save."));
  EXPECT_TRUE(prompts->saves.empty()) << "no file was asked for";
  EXPECT_FALSE(fs::exists(folder / "TYPES-ONLY-MIB.smidb"));
  EXPECT_TRUE(registeredModules().empty());
}

TEST_F(CompilerWindow, AMissingImportIsAskedForUntilAFileHoldsIt) {
  std::string wrong = writeSource("wrong.mib", kTypesOnlyModule);
  std::string right = writeSource("elsewhere.txt", "HIDDEN-MIB DEFINITIONS ::= BEGIN\n"
                                                   "hidden OBJECT IDENTIFIER ::= { iso 9 }\nEND\n");
  fs::create_directories(folder / "main");
  std::string main = writeSource("main/MAIN-MIB.mib", "MAIN-MIB DEFINITIONS ::= BEGIN\n"
                                                     "IMPORTS hidden FROM HIDDEN-MIB;\n"
                                                     "child OBJECT IDENTIFIER ::= { hidden 1 }\nEND\n");
  fs::rename(right, folder / "other.dat");
  right = (folder / "other.dat").string();
  prompts->imports = {wrong, (folder / "no-such-file.mib").string(), right};
  compileCommand(main);
  EXPECT_EQ(prompts->importsAskedFor, (std::vector<std::string>{"HIDDEN-MIB", "HIDDEN-MIB", "HIDDEN-MIB"}));
  EXPECT_TRUE(boxShown("File " + wrong + "\ndoes not contain information for module HIDDEN-MIB"));
  EXPECT_EQ(BoxScript::seen.size(), 2u);
  EXPECT_EQ(BoxScript::seen.front().caption, "Error");
  EXPECT_EQ(oidText(frame->document().compiler().tree().findByName("child")->oid), "1.9.1");
}

TEST_F(CompilerWindow, ACancelledImportFailsTheCompileAndFreesTheTree) {
  std::string main = writeSource("MAIN-MIB.mib", "MAIN-MIB DEFINITIONS ::= BEGIN\n"
                                                 "IMPORTS hidden FROM NOWHERE-MIB;\n"
                                                 "early OBJECT IDENTIFIER ::= { iso 5 }\n"
                                                 "child OBJECT IDENTIFIER ::= { hidden 1 }\nEND\n");
  prompts->imports = {std::nullopt};
  compileCommand(main);
  EXPECT_NE(logText().find("\nOperation canceled by user\n"), std::string::npos) << logText();
  EXPECT_NE(logText().find("Cannot import module NOWHERE-MIB"), std::string::npos);
  EXPECT_EQ(frame->document().compiler().tree().size(), 0u);
  EXPECT_EQ(frame->treeView().topLevelItemCount(), 0);
  EXPECT_FALSE(frame->document().unsaved());
}

TEST_F(CompilerWindow, AFileHandedOverDuringACompileIsCompiledAfterIt) {
  std::string later = writeSource("LATER-MIB.mib", "LATER-MIB DEFINITIONS ::= BEGIN\nlater OBJECT IDENTIFIER ::= { iso 8 }\nEND\n");
  std::string hidden = writeSource("hidden.txt", "HIDDEN-MIB DEFINITIONS ::= BEGIN\nhidden OBJECT IDENTIFIER ::= { iso 9 }\nEND\n");
  fs::create_directories(folder / "main");
  std::string main = writeSource("main/MAIN-MIB.mib", "MAIN-MIB DEFINITIONS ::= BEGIN\n"
                                                     "IMPORTS hidden FROM HIDDEN-MIB;\n"
                                                     "child OBJECT IDENTIFIER ::= { hidden 1 }\nEND\n");
  prompts->imports = {hidden};
  prompts->whileAskingForImport = [&] { frame->compileFile(QString::fromStdString(later)); };
  compileCommand(main);
  EXPECT_NE(frame->document().compiler().tree().findByName("child"), nullptr) << "the first compile ran to its end";
  BoxScript::answers = {IDYES};
  ASSERT_TRUE(processEventsUntil([&] { return frame->document().module() == "LATER-MIB"; }));
  EXPECT_EQ(BoxScript::seen.back().text, "Compiled MIB Tree will be lost!\nDo you wish to proceed?");
}

TEST_F(CompilerWindow, FindAndFindNextWalkTheMatchingNodesInTreeOrder) {
  compileCommand(writeSource("FIND-MIB.mib", "FIND-MIB DEFINITIONS ::= BEGIN\n"
                                             "base OBJECT IDENTIFIER ::= { iso 3 }\n"
                                             "portA OBJECT IDENTIFIER ::= { base 1 }\n"
                                             "other OBJECT IDENTIFIER ::= { base 2 }\n"
                                             "PortB OBJECT IDENTIFIER ::= { base 3 }\nEND\n"));
  prompts->finds = {"port", "nothing-like-it"};
  frame->findCommand();
  ASSERT_NE(frame->treeView().selectedNode(), nullptr);
  EXPECT_EQ(frame->treeView().selectedNode()->name, "portA");
  frame->findNextCommand();
  EXPECT_EQ(frame->treeView().selectedNode()->name, "PortB");
  EXPECT_NE(frame->infoView().toPlainText().indexOf("NAME: PortB\nOID: 1.3.3"), -1);
  frame->findNextCommand();
  EXPECT_TRUE(boxShown("Object not found"));
  EXPECT_EQ(BoxScript::seen.back().caption, "Find Error");
  frame->findCommand();
  EXPECT_EQ(BoxScript::seen.size(), 2u);
}

TEST_F(CompilerWindow, UnsupportedCommandsSaySo) {
  frame->unsupportedCommand();
  ASSERT_EQ(BoxScript::seen.size(), 1u);
  EXPECT_EQ(BoxScript::seen[0].text, "This function is not supported in this release of MIB Compiler.");
  EXPECT_EQ(BoxScript::seen[0].caption, "Information");
}

TEST_F(CompilerWindow, TheWebPageCommandsOpenTheirPages) {
  fs::path opener = folder / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << (folder / "opened").string() << "'\n";
  fs::permissions(opener, fs::perms::owner_all);
  std::string path = std::getenv("PATH");
  setenv("PATH", folder.c_str(), 1);
  for (unsigned code : {0u, 2u, 15u}) frame->webPageCommand(code);
  setenv("PATH", path.c_str(), 1);
  std::string opened;
  ASSERT_TRUE(processEventsUntil([&] {
    std::ifstream lines(folder / "opened");
    opened.assign(std::istreambuf_iterator<char>(lines), {});
    return count(opened, "\n") == 3;
  })) << opened;
  for (const char* page : {"index", "mib-compiler", "support"})
    EXPECT_NE(opened.find(std::string("https://www.orvane.example/") + page + ".html\n"), std::string::npos) << opened;
  EXPECT_TRUE(BoxScript::seen.empty());
}

TEST_F(CompilerWindow, ClosingWithAnUnsavedModuleAsksToSaveIt) {
  compileCommand(writeSource("KEEP-MIB.mib", "KEEP-MIB DEFINITIONS ::= BEGIN\nkept OBJECT IDENTIFIER ::= { iso 4 }\nEND\n"));
  BoxScript::answers = {IDCANCEL};
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(BoxScript::seen.back().text, "One or more compiled MIB files are not saved!\nWould you like to save them now?");

  std::string saved = (folder / "KEEP-MIB.smidb").string();
  prompts->saves = {saved};
  BoxScript::answers = {IDYES};
  EXPECT_TRUE(frame->close());
  EXPECT_TRUE(fs::exists(saved));
  EXPECT_EQ(registeredModules().size(), 1u);
}

TEST_F(CompilerWindow, RemoveAllAsksAndDeletesEverySavedModule) {
  compileCommand(writeSource("GONE-MIB.mib", "GONE-MIB DEFINITIONS ::= BEGIN\ngone OBJECT IDENTIFIER ::= { iso 6 }\nEND\n"));
  std::string saved = (folder / "GONE-MIB.smidb").string();
  prompts->saves = {saved};
  frame->saveCommand();
  ASSERT_EQ(registeredModules().size(), 1u);

  BoxScript::answers = {IDNO};
  frame->removeAllCommand();
  EXPECT_TRUE(fs::exists(saved));
  BoxScript::answers = {IDYES};
  frame->removeAllCommand();
  EXPECT_EQ(BoxScript::seen.back().text.rfind("This operation will delete all compiled MIB file databases (SMIDB)", 0), 0u);
  EXPECT_FALSE(fs::exists(saved));
  EXPECT_TRUE(registeredModules().empty());
  EXPECT_TRUE(frame->isWindowModified()) << "the compiled module is unsaved again";
}

TEST_F(CompilerWindow, PreferencesAndLayoutAreWrittenAndReadBack) {
  Preferences fresh = readPreferences();
  EXPECT_EQ(fresh.warningLevel, 2);
  EXPECT_TRUE(fresh.warnOverwrite && fresh.warnNotSaved && fresh.mibFullExpand && fresh.setFileTypes &&
              fresh.saveSourcePaths && fresh.warnBeforeRemove);

  Preferences changed = fresh;
  changed.warningLevel = 0;
  changed.mibFullExpand = false;
  changed.warnNotSaved = false;
  prompts->preferences = {changed};
  frame->preferencesCommand();
  frame->resize(900, 640);
  frame->show();
  ASSERT_TRUE(frame->close());

  Preferences read = readPreferences();
  EXPECT_EQ(read.warningLevel, 0);
  EXPECT_FALSE(read.mibFullExpand);
  EXPECT_FALSE(read.warnNotSaved);
  EXPECT_TRUE(read.warnBeforeRemove);
  for (const char* value : {"Main Window", "Vertical splitter", "Horizontal splitter"})
    EXPECT_TRUE(readLayout("Layout", value)) << value;
  EXPECT_TRUE(readLayout("Toolbars", "State"));

  CMainFrame again(std::make_unique<ScriptedPrompts>());
  EXPECT_EQ(again.size(), QSize(900, 640));
  EXPECT_EQ(again.preferences().warningLevel, 0);
}

TEST_F(CompilerWindow, TheWarningLevelAndFullExpandPreferencesApplyToTheNextCompile) {
  Preferences quiet = frame->preferences();
  quiet.warningLevel = 0;
  quiet.mibFullExpand = false;
  prompts->preferences = {quiet};
  frame->preferencesCommand();
  compileCommand(writeSource("DEEP-MIB.mib", "DEEP-MIB DEFINITIONS ::= BEGIN\n"
                                             "a OBJECT IDENTIFIER ::= { iso 3 }\n"
                                             "b OBJECT IDENTIFIER ::= { a 1 }\n"
                                             "c OBJECT IDENTIFIER ::= { b 1 }\n"
                                             "lost OBJECT IDENTIFIER ::= { nowhere 1 }\nEND\n"));
  EXPECT_EQ(logText().find("WARNING!"), std::string::npos);
  QTreeWidgetItem* iso = frame->treeView().topLevelItem(0);
  ASSERT_NE(iso, nullptr);
  EXPECT_TRUE(iso->isExpanded());
  EXPECT_FALSE(iso->child(0)->isExpanded());
}

}  // namespace
}  // namespace modforge
