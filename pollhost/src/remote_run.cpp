// Running a console command on another computer.
#include "remote_run.h"

#include "console_texts.h"

#include "platform/errors.h"
#include "platform/processes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace pollhost {
namespace {

// One word for a POSIX shell: in single quotes, each quote in it closed,
// escaped and reopened.
std::string quotedForShell(const std::string& word) {
  std::string quoted = "'";
  for (char character : word) {
    if (character == '\'') quoted += "'\\''";
    else quoted += character;
  }
  return quoted + "'";
}

}  // namespace

std::vector<std::string> remoteCommandLine(const std::string& machine, const std::string& argument) {
  const char* program = std::getenv("ORVANE_POLLHOST_REMOTE");
  std::string remote = program && *program ? program : "pollhost";
  return {"ssh", "--", machine, remote + " " + quotedForShell(argument)};
}

void runRemotely(const std::string& machine, const std::string& argument) {
  std::fflush(stdout);
  int status = platform::runProgramToEnd(remoteCommandLine(machine, argument));
  if (status < 0) {
    std::printf("%sCould not run ssh. %s\r\n", bannerText().c_str(),
                systemErrorText(platform::errorFromErrno(errno)).c_str());
  } else if (status != 0) {
    std::printf("\r\nRunning pollhost on %s through ssh failed (exit status %d).\r\n", machine.c_str(), status);
  }
}

}  // namespace pollhost
