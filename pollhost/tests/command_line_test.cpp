// The console command line and the command run on another computer.
#include "command_line.h"
#include "remote_run.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pollhost {
namespace {

ConsoleCommand read(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pollhost");
  return readCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ConsoleCommandLine, FirstArgumentWithOrWithoutDashChoosesTheAction) {
  EXPECT_EQ(read({}).action, ConsoleAction::other);
  EXPECT_EQ(read({"-?"}).action, ConsoleAction::usage);
  EXPECT_EQ(read({"help"}).action, ConsoleAction::usage);
  EXPECT_EQ(read({"-i"}).action, ConsoleAction::install);
  EXPECT_EQ(read({"install", "elsewhere"}).remoteMachine, "");
  EXPECT_EQ(read({"u"}).action, ConsoleAction::uninstall);
  EXPECT_EQ(read({"-x"}).action, ConsoleAction::other);
  EXPECT_EQ(read({"-"}).action, ConsoleAction::other);
  EXPECT_EQ(read({"-a"}).action, ConsoleAction::other);  // no address after the letter
  EXPECT_EQ(read({"-r"}).action, ConsoleAction::other);

  ConsoleCommand add = read({"-a10.0.0.7"});
  EXPECT_EQ(add.action, ConsoleAction::add);
  EXPECT_EQ(pipeCommandsFor(add), (std::vector<std::string>{"a 10.0.0.7", "c"}));
  EXPECT_EQ(pipeCommandsFor(read({"r10.0.0.7"})), (std::vector<std::string>{"r 10.0.0.7", "c"}));
  EXPECT_EQ(pipeCommandsFor(read({"-v"})), (std::vector<std::string>{"v", "c"}));
  EXPECT_EQ(pipeCommandsFor(read({"-va"})), (std::vector<std::string>{"va", "c"}));
  EXPECT_EQ(pipeCommandsFor(read({"-v10.0.0.7:1161"})), (std::vector<std::string>{"v 10.0.0.7:1161", "c"}));
  EXPECT_TRUE(pipeCommandsFor(read({"-i"})).empty());
}

TEST(ConsoleCommandLine, PipeCommandsTakeARemoteMachine) {
  ConsoleCommand command = read({"-va", "machine_name"});
  EXPECT_EQ(command.remoteMachine, "machine_name");
  EXPECT_EQ(command.argument, "-va");
  EXPECT_EQ(read({"-a10.0.0.7", "machine_name"}).remoteMachine, "machine_name");
  EXPECT_EQ(read({"-u", "machine_name"}).remoteMachine, "");
  EXPECT_EQ(read({"-v", ""}).remoteMachine, "");
}

TEST(RemoteCommand, ArgumentIsQuotedForTheRemoteShellAndTheMachineIsNoOption) {
  unsetenv("ORVANE_POLLHOST_REMOTE");
  EXPECT_EQ(remoteCommandLine("machine_name", "-va"),
            (std::vector<std::string>{"ssh", "--", "machine_name", "pollhost '-va'"}));
  EXPECT_EQ(remoteCommandLine("-oProxyCommand=x", "-a1.2.3.4; rm -rf ~")[3], "pollhost '-a1.2.3.4; rm -rf ~'");
  EXPECT_EQ(remoteCommandLine("h", "-v'x")[3], "pollhost '-v'\\''x'");
  setenv("ORVANE_POLLHOST_REMOTE", "/opt/orvane/bin/pollhost", 1);
  EXPECT_EQ(remoteCommandLine("h", "-v")[3], "/opt/orvane/bin/pollhost '-v'");
  unsetenv("ORVANE_POLLHOST_REMOTE");
}

TEST(RemoteCommand, WordsReachTheProgramWholeThroughTheCommandLine) {
  EXPECT_EQ(commandLineOf({"ssh", "--", "machine_name", "pollhost '-va'"}), "ssh -- machine_name \"pollhost '-va'\"");
  EXPECT_EQ(commandLineOf({"x", "a\\\"b"}), "x \"a\\\\\\\"b\"");
  EXPECT_EQ(commandLineOf({"x", "c:\\x y\\"}), "x \"c:\\x y\\\\\"");
  EXPECT_EQ(commandLineOf({"x", "plain\\path"}), "x plain\\path");
  EXPECT_EQ(commandLineOf({"x", ""}), "x \"\"");
}

}  // namespace
}  // namespace pollhost
