#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace modforge;

namespace {

ConsoleOptions parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "modforge");
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  return parseCommandLine(static_cast<int>(pointers.size()), pointers.data());
}

TEST(CommandLine, TakesEverySourceUpToTheNextOption) {
  ConsoleOptions options = parse({"-c", "a.mib", "b.mib", "-I", "dir1", "-Idir2", "-w0", "-l", "-d", "out"});
  EXPECT_TRUE(options.error.empty()) << options.error;
  EXPECT_EQ(options.sources, (std::vector<std::string>{"a.mib", "b.mib"}));
  EXPECT_EQ(options.includeFolders, (std::vector<std::string>{"dir1", "dir2"}));
  EXPECT_EQ(options.warningLevel, 0);
  EXPECT_TRUE(options.listing);
  EXPECT_EQ(options.outputFolder, "out");
}

TEST(CommandLine, RefusesContradictionsAndMissingValues) {
  EXPECT_FALSE(parse({"-c"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "-I"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "-w", "x"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "-w", "10"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "b", "-o", "x.smidb"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "-o", "x.smidb", "-d", "dir"}).error.empty());
  EXPECT_FALSE(parse({"-c", "a", "--register"}).error.empty());
  EXPECT_FALSE(parse({"stray"}).error.empty());
  EXPECT_TRUE(parse({"-c", "a", "-o", "x.smidb", "--register"}).error.empty());
  EXPECT_TRUE(parse({"--list"}).list);
  EXPECT_TRUE(parse({"--remove-all"}).removeAll);
}

}  // namespace

TEST(CommandLine, NothingOrFileNamesOnlyAskForTheWindow) {
  auto windowFiles = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "modforge");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    return windowedStart(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_EQ(windowFiles({}), std::vector<std::string>{});
  EXPECT_EQ(windowFiles({"IF-MIB.mib", "my mibs/X.smi"}), (std::vector<std::string>{"IF-MIB.mib", "my mibs/X.smi"}));
  EXPECT_EQ(windowFiles({"IF-MIB.mib", "-o", "x.smidb"}), std::nullopt);
  EXPECT_EQ(windowFiles({"--help"}), std::nullopt);
}
