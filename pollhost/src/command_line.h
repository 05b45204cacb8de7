// What the console command asks for: its first argument, with or
// without a leading "-", and for the pipe commands an optional second
// argument naming another computer.
#pragma once

#include <string>
#include <vector>

namespace pollhost {

enum class ConsoleAction { usage, install, uninstall, view, viewAll, viewAgent, add, remove, other };

struct ConsoleCommand {
  ConsoleAction action = ConsoleAction::other;
  std::string address;        // for viewAgent, add and remove
  std::string remoteMachine;  // empty: this computer
  std::string argument;       // the first argument as given
};

ConsoleCommand readCommandLine(int argc, const char* const* argv);

// The pipe commands that carry out a pipe action, the close command last.
std::vector<std::string> pipeCommandsFor(const ConsoleCommand& command);

}  // namespace pollhost
