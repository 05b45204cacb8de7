#include "platform/processes.h"

#include "command_line_words.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using platform::detail::splitCommandLine;
using Words = std::vector<std::string>;

TEST(CommandLineWords, AQuotedProgramKeepsItsBlanksAndBackslashes) {
  EXPECT_EQ(splitCommandLine("\"/opt/my browser\\bin/run\" --new-window http://a/b.html"),
            (Words{"/opt/my browser\\bin/run", "--new-window", "http://a/b.html"}));
  EXPECT_EQ(splitCommandLine("  firefox\thttp://x  "), (Words{"firefox", "http://x"}));
  EXPECT_TRUE(splitCommandLine("   ").empty());
}

TEST(CommandLineWords, ArgumentsFollowTheQuoteAndBackslashRules) {
  EXPECT_EQ(splitCommandLine("p \"two words\" a\"b c\"d"), (Words{"p", "two words", "ab cd"}));
  EXPECT_EQ(splitCommandLine("p a\\\"b c:\\dir\\ d\\\\\"e f\""), (Words{"p", "a\"b", "c:\\dir\\", "d\\e f"}));
  EXPECT_EQ(splitCommandLine("p \"\" \"unclosed tail"), (Words{"p", "", "unclosed tail"}));
}

TEST(EnvironmentExpansion, ReplacesSetNamesAndKeepsOthersAsWritten) {
  setenv("ORVANE_TEST_BROWSER", "/usr/bin/www", 1);
  unsetenv("ORVANE_TEST_UNSET");
  char result[256];
  DWORD needed = ExpandEnvironmentStrings("%ORVANE_TEST_BROWSER% %ORVANE_TEST_UNSET%x%% 100%", result, sizeof result);
  EXPECT_STREQ(result, "/usr/bin/www %ORVANE_TEST_UNSET%x%% 100%");
  EXPECT_EQ(needed, std::string(result).size() + 1);
}

TEST(EnvironmentExpansion, ASmallBufferGetsTheSizeNeededAndNothingWritten) {
  setenv("ORVANE_TEST_BROWSER", "/usr/bin/www", 1);
  char result[8] = "keep";
  EXPECT_EQ(ExpandEnvironmentStrings("%ORVANE_TEST_BROWSER%", result, sizeof result), 13u);
  EXPECT_STREQ(result, "keep");
  EXPECT_EQ(ExpandEnvironmentStrings(nullptr, result, sizeof result), 0u);
}

class Processes : public testing::Test {
 protected:
  void SetUp() override { folder = std::string(std::getenv("ORVANE_RUNTIME_DIR")); }
  std::string folder;
};

TEST_F(Processes, AProgramFoundOnThePathGetsItsArgumentsAndReportsItsExitCode) {
  std::string output = folder + "/arguments.txt";
  std::string line = "sh -c \"printf '%s|' \\\"$@\\\" > '" + output + "'; exit 3\" sh one \"two words\"";
  PROCESS_INFORMATION started{};
  STARTUPINFO startup{};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  EXPECT_EQ(started.hThread, nullptr);
  ASSERT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(started.hProcess, &code));
  EXPECT_EQ(code, 3u);
  CloseHandle(started.hProcess);
  std::stringstream printed;
  printed << std::ifstream(output).rdbuf();
  EXPECT_EQ(printed.str(), "one|two words|");
}

TEST_F(Processes, TheChildRunsInTheFolderAndEnvironmentGiven) {
  std::string line = "sh -c \"pwd > seen.txt; printf %s \\\"$GREETING\\\" >> seen.txt\"";
  char environment[] = "GREETING=hello\0PATH=/usr/bin:/bin\0";
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, environment, folder.c_str(), nullptr,
                            &started));
  ASSERT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(started.hProcess);
  std::stringstream printed;
  printed << std::ifstream(folder + "/seen.txt").rdbuf();
  EXPECT_EQ(printed.str(), std::filesystem::canonical(folder).string() + "\nhello");
}

// A detached child is out of the caller's session and terminal.
TEST_F(Processes, ADetachedProgramHasASessionOfItsOwnAndNoStandardStreams) {
  std::string line = "sh -c \"streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); "
                     "echo $(ps -o sid= -p $$) $streams > '" + folder + "/detached.txt'\"";
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, nullptr,
                            &started));
  ASSERT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(started.hProcess);
  std::ifstream seen(folder + "/detached.txt");
  std::string session, input, output, error;
  seen >> session >> input >> output >> error;
  EXPECT_NE(session, std::to_string(getsid(0)));
  EXPECT_EQ(session, std::to_string(started.dwProcessId));
  EXPECT_EQ(input + output + error, "/dev/null/dev/null/dev/null");
}

TEST_F(Processes, AMissingProgramOrEmptyCommandFails) {
  std::string missing = "orvane-no-such-program-here http://x";
  PROCESS_INFORMATION started{};
  EXPECT_FALSE(CreateProcess(nullptr, missing.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &started));
  std::string empty = "  ";
  EXPECT_FALSE(CreateProcess(nullptr, empty.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &started));
  std::string quoted = "\"/bin/true\"";
  EXPECT_FALSE(CreateProcess(nullptr, quoted.data(), nullptr, nullptr, FALSE, 0, nullptr, "/no/such/folder", nullptr,
                             &started));
}

}  // namespace
