// Starting programs detached, and loading libraries at run time.
#include "platform/libraries.h"
#include "platform/processes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

std::string runtimePath(const std::string& name) { return std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/" + name; }

// Waits up to 20 s for the file to hold a whole line.
std::string waitForLine(const std::string& path) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream file(path);
    std::string line;
    if (std::getline(file, line) && file.good()) return line;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return "";
}

TEST(StartProgram, RunsAProgramFromTheSearchPathDetachedFromTheCaller) {
  std::string folder = runtimePath("bin");
  std::filesystem::create_directory(folder);
  std::string script = folder + "/orvane-test-program";
  std::ofstream(script) << "#!/bin/sh\n"
                           "exec 3>\"$ORVANE_RUNTIME_DIR/started.tmp\"\n"
                           "echo \"$1 $(ps -o ppid= -p $$ | tr -d ' ') $(ps -o sid= -p $$ | tr -d ' ')"
                           " $(test -t 0 || readlink /proc/$$/fd/0)\" >&3\n"
                           "mv \"$ORVANE_RUNTIME_DIR/started.tmp\" \"$ORVANE_RUNTIME_DIR/started\"\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  std::string path = std::getenv("PATH");
  setenv("PATH", (folder + ":" + path).c_str(), 1);
  EXPECT_TRUE(platform::startProgram({"orvane-test-program", "hello"}));
  setenv("PATH", path.c_str(), 1);
  std::string line = waitForLine(runtimePath("started"));
  std::istringstream fields(line);
  std::string word, parent, session, input;
  fields >> word >> parent >> session >> input;
  EXPECT_EQ(word, "hello");
  EXPECT_NE(parent, std::to_string(getpid()));
  EXPECT_NE(session, std::to_string(getsid(0)));
  EXPECT_EQ(input, "/dev/null");
}

TEST(StartProgram, FailsForAProgramThatCannotBeRun) {
  EXPECT_FALSE(platform::startProgram({"orvane-no-such-program"}));
  EXPECT_FALSE(platform::startProgram({runtimePath("")}));
  EXPECT_FALSE(platform::startProgram({}));
}

TEST(LoadLibrary, FindsTheSuitesLibrariesByNameAndTheirFunctions) {
  // Beside this library, where no system search would look.
  HMODULE own = LoadLibraryEx("libplatform.so", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(FreeLibrary(own));
  HMODULE system = LoadLibraryEx("libc.so.6", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(system, nullptr);
  EXPECT_NE(GetProcAddress(system, "strlen"), nullptr);
  EXPECT_EQ(GetProcAddress(system, "orvane_no_such_function"), nullptr);
  EXPECT_TRUE(FreeLibrary(system));
  EXPECT_EQ(LoadLibraryEx("liborvane-no-such-library.so", nullptr, 0), nullptr);
  EXPECT_EQ(LoadLibraryEx("", nullptr, 0), nullptr);
}

}  // namespace
