// The console mode's options. With any of them modforge compiles without
// a window; without them it is the windowed program.
#pragma once

#include <string>
#include <vector>

namespace modforge {

struct ConsoleOptions {
  std::vector<std::string> sources;
  std::vector<std::string> includeFolders;
  int warningLevel = 2;
  bool listing = false;
  std::string outputFile;
  std::string outputFolder;
  bool registerSaved = false;
  bool removeAll = false;
  bool list = false;
  bool help = false;
  // Set when the command line cannot be understood.
  std::string error;
};

[[nodiscard]] ConsoleOptions parseCommandLine(int argc, char** argv);

// The --help text.
[[nodiscard]] const char* usageText();

}  // namespace modforge
