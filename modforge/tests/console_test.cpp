// The modforge program's console mode, run as a user would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

struct Outcome {
  int status = -1;
  std::string output;
};

class Console : public testing::Test {
 protected:
  void SetUp() override {
    const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
    folder = std::string(runtime ? runtime : "/tmp") + "/console";
    std::filesystem::create_directories(folder + "/mibs");
  }

  std::string write(const std::string& name, const std::string& text) {
    std::string path = folder + "/" + name;
    std::ofstream(path) << text;
    return path;
  }

  // Runs modforge with `arguments` (a shell word list) and collects its
  // standard output and error.
  Outcome run(const std::string& arguments, const std::string& environment = "") {
    std::string command = environment + " " + MODFORGE_PROGRAM + " " + arguments + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    Outcome result;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) result.output.append(buffer, got);
    int status = pclose(pipe.release());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

  std::string folder;
};

TEST_F(Console, PrintsTheUsageWithHelp) {
  Outcome result = run("--help");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("Usage: modforge -c FILE..."), std::string::npos);
}

// Without options modforge is the window; where there is no display to
// show it on, it says so and how to work without one.
TEST_F(Console, WithoutADisplayTheWindowedStartPrintsTheUsage) {
  for (const char* arguments : {"", "IF-MIB.mib"}) {
    Outcome result = run(arguments, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("modforge: there is no display to open the window on"), std::string::npos);
    EXPECT_NE(result.output.find("Usage: modforge -c FILE..."), std::string::npos);
  }
}

TEST_F(Console, RefusesABadCommandLine) {
  Outcome result = run("-c a.mib -w high");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.output.find("modforge: -w needs a warning level from 0 to 9"), std::string::npos);
}

TEST_F(Console, CompilesAndImportsThroughTheEnvironmentsSearchPath) {
  write("mibs/base.txt", "BASE DEFINITIONS ::= BEGIN\nbase OBJECT IDENTIFIER ::= { iso 3 }\nEND\n");
  std::string source = write("top.mib", "TOP DEFINITIONS ::= BEGIN\nIMPORTS base FROM BASE;\n"
                                        "top OBJECT IDENTIFIER ::= { base 1 }\nEND\n");
  Outcome result = run("-c " + source, "ORVANE_MIBPATH=/nonexistent:" + folder + "/mibs");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("Compiling " + source + "\n"), std::string::npos);
  EXPECT_NE(result.output.find("\nImporting BASE\n"), std::string::npos);
  EXPECT_NE(result.output.find("Finshed compiling " + source), std::string::npos);
}

TEST_F(Console, CompilesAModuleOncePerRunWhenAnotherSourceImportedItFirst) {
  std::string base = write("mibs/base.txt", "BASE DEFINITIONS ::= BEGIN\nbase OBJECT IDENTIFIER ::= { iso 3 }\nEND\n");
  std::string top = write("top.mib", "TOP DEFINITIONS ::= BEGIN\nIMPORTS base FROM BASE;\n"
                                     "top OBJECT IDENTIFIER ::= { base 1 }\nEND\n");
  Outcome result = run("-I " + folder + "/mibs -c " + top + " " + base);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("Compiling " + base + "\nBASE was compiled already in this run.\n"), std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("WARNING!"), std::string::npos) << result.output;
}

TEST_F(Console, FailsNamingAMissingImportAndTheFoldersSearched) {
  std::string source = write("lonely.mib", "LONELY DEFINITIONS ::= BEGIN\nIMPORTS x FROM ABSENT-MIB;\nEND\n");
  Outcome result = run("-I " + folder + "/mibs -c " + source);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("Cannot import module ABSENT-MIB: no source file for it in " + folder + "/mibs"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("Finshed compiling"), std::string::npos);
}

TEST_F(Console, FailsForASourceThatCannotBeOpened) {
  Outcome result = run("-c " + folder + "/absent.mib");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("*** Fatal translator error: Failed to open source file"), std::string::npos);
}

TEST_F(Console, ListsEverySourceLineWithL) {
  std::string source = write("listed.mib", "L DEFINITIONS ::= BEGIN\nEND\n");
  Outcome result = run("-l -c " + source);
  EXPECT_NE(result.output.find("   1 0: L DEFINITIONS ::= BEGIN\n   2 0: END\n"), std::string::npos) << result.output;
}

}  // namespace

namespace {

constexpr const char* kPair =
    "PAIR-MIB DEFINITIONS ::= BEGIN\n"
    "pair OBJECT IDENTIFIER ::= { iso 7 }\n"
    "pairValue OBJECT-TYPE SYNTAX INTEGER ACCESS read-only STATUS mandatory ::= { pair 1 }\n"
    "END\n";

TEST_F(Console, SavesRegistersListsAndRemovesModules) {
  write("mibs/base.txt", "BASE DEFINITIONS ::= BEGIN\nbase OBJECT IDENTIFIER ::= { iso 3 }\nEND\n");
  std::string top = write("top.mib", "TOP DEFINITIONS ::= BEGIN\nIMPORTS base FROM BASE;\n"
                                     "top OBJECT IDENTIFIER ::= { base 1 }\nEND\n");
  std::string saved = folder + "/saved";
  Outcome compiled = run("-I " + folder + "/mibs -c " + top + " -d " + saved + " --register");
  EXPECT_EQ(compiled.status, 0) << compiled.output;
  EXPECT_TRUE(std::filesystem::exists(saved + "/TOP.smidb"));
  EXPECT_TRUE(std::filesystem::exists(saved + "/BASE.smidb"));

  Outcome listed = run("--list");
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.output.find("   1  TOP "), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("   2  BASE "), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find(saved + "/BASE.smidb"), std::string::npos);

  // Saving again registers nothing twice.
  EXPECT_EQ(run("-I " + folder + "/mibs -c " + top + " -d " + saved + " --register").status, 0);
  EXPECT_EQ(run("--list").output, listed.output);

  Outcome removed = run("--remove-all --list");
  EXPECT_EQ(removed.status, 0);
  EXPECT_NE(removed.output.find("No modules are registered."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(saved + "/TOP.smidb"));
}

TEST_F(Console, SavesTheOneModuleOfAFileWithO) {
  std::string source = write("pair.mib", kPair);
  std::string target = folder + "/pair.smidb";
  Outcome saved = run("-c " + source + " -o " + target);
  EXPECT_EQ(saved.status, 0) << saved.output;
  EXPECT_TRUE(std::filesystem::exists(target));
  EXPECT_EQ(run("--list").output, "No modules are registered.\n");
}

TEST_F(Console, FailsToSaveAModuleWithoutNodesOrAnUnwritableFile) {
  std::string types = write("types.mib", "TYPES DEFINITIONS ::= BEGIN\nT ::= INTEGER\nEND\n");
  Outcome empty = run("-c " + types + " -o " + folder + "/types.smidb");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.output.find("Compiled MIB file doesn't contain any OIDs. Nothing to save."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder + "/types.smidb"));

  std::string source = write("pair.mib", kPair);
  std::string unwritable = folder + "/missing-folder/pair.smidb";
  Outcome failed = run("-c " + source + " -o " + unwritable);
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.output.find("File: " + unwritable), std::string::npos) << failed.output;
}

}  // namespace
