// Pipe commands for another computer: the same command run there
// through ssh, since the pipe never listens on the network.
#pragma once

#include <string>
#include <vector>

namespace pollhost {

// The ssh command line that runs `argument` with pollhost (or the
// program ORVANE_POLLHOST_REMOTE names) on `machine`. The argument is
// quoted for the remote shell, and "--" keeps a machine name from being
// read as an ssh option.
std::vector<std::string> remoteCommandLine(const std::string& machine, const std::string& argument);

// The words in the form of a command line for CreateProcess: quoted
// where they hold blanks or quotes, so each arrives as the word it was.
std::string commandLineOf(const std::vector<std::string>& words);

// Runs it with this program's standard streams; says so when ssh could
// not be run or failed.
void runRemotely(const std::string& machine, const std::string& argument);

}  // namespace pollhost
