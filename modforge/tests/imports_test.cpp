#include "compiler_fixture.h"

#include <string>

using namespace modforge;

namespace {

using Imports = CompilerTest;

const char* const kBase =
    "BASE-MIB DEFINITIONS ::= BEGIN\n"
    "base OBJECT IDENTIFIER ::= { iso 3 }\n"
    "Level ::= INTEGER (0..9)\n"
    "END\n";

TEST_F(Imports, FindsTheModuleByItsHeaderWhateverTheFileIsCalled) {
  writeSource("unrelated-name.txt", kBase);
  EXPECT_TRUE(compileModule("IMPORTS base, Level FROM BASE-MIB;\nx OBJECT IDENTIFIER ::= { base 1 }"));
  EXPECT_EQ(oidOf("x"), "1.3.1");
  EXPECT_EQ(node("base")->module, "BASE-MIB");
  EXPECT_NE(compiler->types().find("Level"), nullptr);
  EXPECT_TRUE(logged("\r\nImporting BASE-MIB"));
  EXPECT_TRUE(logged("Finshed importing BASE-MIB\r\n"));
  const KnownModule* known = compiler->modules().find("BASE-MIB");
  ASSERT_NE(known, nullptr);
  EXPECT_EQ(known->sourcePath, folder + "/unrelated-name.txt");
  EXPECT_EQ(known->rootOid, "1.3");
}

TEST_F(Imports, CompilesAModuleOnlyOncePerRun) {
  writeSource("base.mib", kBase);
  writeSource("left.mib", "LEFT DEFINITIONS ::= BEGIN\nIMPORTS base FROM BASE-MIB;\nl OBJECT IDENTIFIER ::= { base 1 }\nEND\n");
  EXPECT_TRUE(compileModule("IMPORTS l FROM LEFT base FROM BASE-MIB;\nx OBJECT IDENTIFIER ::= { base 2 }"));
  EXPECT_EQ(count("\r\nImporting BASE-MIB"), 2);
  EXPECT_EQ(count(". Already loaded !"), 1);
  EXPECT_TRUE(logged("Finished importing BASE-MIB.\r\n"));
  EXPECT_EQ(count("WARNING!"), 0);
  EXPECT_EQ(oidOf("l"), "1.3.1");
  EXPECT_EQ(oidOf("x"), "1.3.2");
}

TEST_F(Imports, SkipsRfc1212AndGroupsOfReservedWordsOnly) {
  EXPECT_TRUE(compileModule("IMPORTS OBJECT-TYPE, DisplayString FROM RFC-1212 ObjectName FROM RFC-1212 "
                            "OBJECT-TYPE, Counter FROM RFC1155-SMI;\nx OBJECT IDENTIFIER ::= { iso 3 }"));
  EXPECT_EQ(count("Cannot import"), 0);
  EXPECT_TRUE(logged("\r\nImporting RFC1155-SMI"));
  EXPECT_NE(node("x"), nullptr);
}

TEST_F(Imports, FailsTheCompileNamingTheMissingModuleAndTheFolders) {
  EXPECT_FALSE(compileModule("IMPORTS thing FROM NOWHERE-MIB;\nx OBJECT IDENTIFIER ::= { iso 3 }"));
  EXPECT_TRUE(logged("Cannot import module NOWHERE-MIB: no source file for it in " + folder));
  EXPECT_EQ(node("x"), nullptr);
}

TEST_F(Imports, FailsEveryImporterOfAModuleThatFailed) {
  writeSource("broken.mib", "BROKEN DEFINITIONS ::= BEGIN\nIMPORTS a FROM MISSING;\nEND\n");
  EXPECT_FALSE(compile("A DEFINITIONS ::= BEGIN\nIMPORTS b FROM BROKEN;\nEND\n"));
  EXPECT_FALSE(compile("B DEFINITIONS ::= BEGIN\nIMPORTS b FROM BROKEN;\nEND\n"));
  EXPECT_TRUE(logged("Cannot import module BROKEN: it could not be compiled"));
}

TEST_F(Imports, EndsACycleOfImports) {
  writeSource("a.mib", "A DEFINITIONS ::= BEGIN\nIMPORTS b FROM B;\na OBJECT IDENTIFIER ::= { iso 3 }\nEND\n");
  writeSource("b.mib", "B DEFINITIONS ::= BEGIN\nIMPORTS a FROM A;\nb OBJECT IDENTIFIER ::= { a 1 }\nEND\n");
  EXPECT_TRUE(compiler->compileFile(folder + "/a.mib"));
  EXPECT_EQ(count(". Already loaded !"), 1);
  // B's definitions came before A's: its parent was not there yet.
  EXPECT_TRUE(logged("WARNING! Parent not FOUND !\t(a <- b)"));
  EXPECT_EQ(oidOf("a"), "1.3");
}

TEST_F(Imports, StopsAChainThatNestsTooDeeply) {
  for (int i = 0; i < Compiler::kDeepestImport + 5; ++i) {
    writeSource("m" + std::to_string(i) + ".mib", "M" + std::to_string(i) + " DEFINITIONS ::= BEGIN\nIMPORTS x FROM M" +
                                                      std::to_string(i + 1) + ";\nEND\n");
  }
  EXPECT_FALSE(compiler->compileFile(folder + "/m0.mib"));
  EXPECT_EQ(count("*** ERROR at line(2): Imports nested too deeply"), 1);
}

TEST_F(Imports, ReportsASourceThatCannotBeOpened) {
  EXPECT_FALSE(compiler->compileFile(folder + "/absent.mib"));
  EXPECT_TRUE(logged("*** Fatal translator error: Failed to open source file\n"));
}

TEST(FirstModuleName, IsTheWordBeforeTheFirstDefinitions) {
  const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
  std::string path = std::string(runtime ? runtime : "/tmp") + "/first-name.mib";
  std::ofstream(path) << "-- comment DEFINITIONS\nMY-MIB\nDEFINITIONS ::= BEGIN END\nOTHER DEFINITIONS ::= BEGIN END\n";
  EXPECT_EQ(firstModuleName(path), "MY-MIB");
  std::ofstream(path) << "no header here\n";
  EXPECT_EQ(firstModuleName(path), "");
  EXPECT_EQ(firstModuleName(path + ".absent"), "");
}

}  // namespace

namespace {

TEST(SearchFolders, ComeInOrderOnceEach) {
  setenv("MODFORGE_TEST_PATH", "/env/one::/given/two:/env/one", 1);
  std::vector<std::string> folders = SearchPath::standardFolders({"/given/one", "/given/two"}, "MODFORGE_TEST_PATH");
  ASSERT_GE(folders.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(folders.begin(), folders.begin() + 3),
            (std::vector<std::string>{"/given/one", "/given/two", "/env/one"}));
  EXPECT_EQ(std::count(folders.begin(), folders.end(), "/env/one"), 1);
  unsetenv("MODFORGE_TEST_PATH");
}

}  // namespace
