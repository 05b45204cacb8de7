// The console mode's options. With any of them modforge works without a
// window; without them it is the windowed program.
#pragma once

#include <optional>
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

// The files to open in the window when the command line asks for the
// window: nothing at all, or file names only (no argument starts with
// "-"). Nothing when it asks for the console.
[[nodiscard]] std::optional<std::vector<std::string>> windowedStart(int argc, char** argv);

// The --help text.
[[nodiscard]] const char* usageText();

}  // namespace modforge
