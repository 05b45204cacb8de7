// Reading the console command line.
#include "command_line.h"

namespace pollhost {
namespace {

bool talksToThePipe(ConsoleAction action) {
  switch (action) {
    case ConsoleAction::view:
    case ConsoleAction::viewAll:
    case ConsoleAction::viewAgent:
    case ConsoleAction::add:
    case ConsoleAction::remove: return true;
    default: return false;
  }
}

ConsoleCommand actionOf(const std::string& word) {
  ConsoleCommand command;
  if (word.empty()) return command;
  std::string rest = word.substr(1);
  switch (word[0]) {
    case '?':
    case 'h': command.action = ConsoleAction::usage; break;
    case 'i': command.action = ConsoleAction::install; break;
    case 'u': command.action = ConsoleAction::uninstall; break;
    case 'v':
      command.action = rest.empty() ? ConsoleAction::view : rest == "a" ? ConsoleAction::viewAll : ConsoleAction::viewAgent;
      if (command.action == ConsoleAction::viewAgent) command.address = rest;
      break;
    case 'a':
    case 'r':
      // Only with an address after the letter.
      if (!rest.empty()) {
        command.action = word[0] == 'a' ? ConsoleAction::add : ConsoleAction::remove;
        command.address = rest;
      }
      break;
    default: break;
  }
  return command;
}

}  // namespace

ConsoleCommand readCommandLine(int argc, const char* const* argv) {
  if (argc < 2 || !argv[1]) return ConsoleCommand{};
  std::string argument = argv[1];
  ConsoleCommand command = actionOf(argument[0] == '-' ? argument.substr(1) : argument);
  command.argument = argument;
  if (talksToThePipe(command.action) && argc >= 3 && argv[2] && *argv[2]) command.remoteMachine = argv[2];
  return command;
}

std::vector<std::string> pipeCommandsFor(const ConsoleCommand& command) {
  switch (command.action) {
    case ConsoleAction::view: return {"v", "c"};
    case ConsoleAction::viewAll: return {"va", "c"};
    case ConsoleAction::viewAgent: return {"v " + command.address, "c"};
    case ConsoleAction::add: return {"a " + command.address, "c"};
    case ConsoleAction::remove: return {"r " + command.address, "c"};
    default: return {};
  }
}

}  // namespace pollhost
