// pollhost: the polling service, and the console command that installs
// it, removes it and talks to it over its control pipe.
#include "command_line.h"
#include "console_texts.h"
#include "pipe_client.h"
#include "remote_run.h"
#include "service_control.h"

#include <cstdio>

int main(int argc, char** argv) {
  // Each line reaches a pipe or a file as it is printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  pollhost::ConsoleCommand command = pollhost::readCommandLine(argc, argv);
  // The other computer's pollhost prints its own banner.
  if (!command.remoteMachine.empty()) {
    pollhost::runRemotely(command.remoteMachine, command.argument);
    return 0;
  }
  std::printf("%s", pollhost::bannerText().c_str());
  switch (command.action) {
    case pollhost::ConsoleAction::usage: std::printf("%s", pollhost::usageText().c_str()); break;
    case pollhost::ConsoleAction::install: pollhost::installService(); break;
    case pollhost::ConsoleAction::uninstall: pollhost::uninstallService(); break;
    case pollhost::ConsoleAction::other: pollhost::runAsServiceOrShowUsage(); break;
    default: pollhost::talkToService(pollhost::pipeCommandsFor(command)); break;
  }
  return 0;
}
