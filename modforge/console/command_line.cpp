#include "command_line.h"

#include <cstring>

namespace modforge {
namespace {

bool isOption(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

// The value of an option given as "-XVALUE" or "-X VALUE"; null when the
// option stands last without one.
const char* optionValue(int argc, char** argv, int& index) {
  const char* attached = argv[index] + 2;
  if (*attached) return attached;
  if (index + 1 >= argc) return nullptr;
  return argv[++index];
}

bool parseLevel(const char* text, int& level) {
  if (!text || text[0] < '0' || text[0] > '9' || text[1] != '\0') return false;
  level = text[0] - '0';
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: modforge -c FILE... [-I DIR]... [-w LEVEL] [-l] [-o FILE.smidb | -d DIR] [--register]\n"
         "       modforge --list\n"
         "       modforge --remove-all\n"
         "       modforge --help\n"
         "\n"
         "Compiles SMI MIB module sources into one MIB tree and saves the modules as\n"
         "SMIDB files, registered for the programs that read MIBs. Started without\n"
         "options (with no arguments, or source file names only), modforge is the\n"
         "windowed compiler.\n"
         "\n"
         "  -c FILE...    compile these source files (every argument up to the next option)\n"
         "  -I DIR        look for imported modules in DIR (repeatable); then in the\n"
         "                folders of ORVANE_MIBPATH (colon-separated), /usr/share/snmp/mibs\n"
         "                and the folders under /usr/share/mibs\n"
         "  -w LEVEL      warning level: 0 none, 1 missing parents, 2 (default) also\n"
         "                duplicate OIDs and type redefinitions\n"
         "  -l            list every source line read\n"
         "  -o FILE       save the module compiled from the one source file as FILE\n"
         "  -d DIR        save every module compiled, imports included, as DIR/MODULE.smidb\n"
         "  --register    register the saved modules in the module registry\n"
         "  --list        list the registered modules\n"
         "  --remove-all  delete every registered SMIDB file and its registration\n"
         "  --help        show this text\n"
         "\n"
         "Exit status: 0 when everything compiled and saved, 1 when a file could not be\n"
         "compiled or saved, 2 for a bad command line.\n";
}

std::optional<std::vector<std::string>> windowedStart(int argc, char** argv) {
  std::vector<std::string> files;
  for (int index = 1; index < argc; ++index) {
    if (argv[index][0] == '-') return std::nullopt;
    files.emplace_back(argv[index]);
  }
  return files;
}

ConsoleOptions parseCommandLine(int argc, char** argv) {
  ConsoleOptions options;
  for (int index = 1; index < argc && options.error.empty(); ++index) {
    const char* argument = argv[index];
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      options.help = true;
    } else if (std::strcmp(argument, "--register") == 0) {
      options.registerSaved = true;
    } else if (std::strcmp(argument, "--remove-all") == 0) {
      options.removeAll = true;
    } else if (std::strcmp(argument, "--list") == 0) {
      options.list = true;
    } else if (std::strcmp(argument, "-l") == 0) {
      options.listing = true;
    } else if (std::strcmp(argument, "-c") == 0) {
      while (index + 1 < argc && !isOption(argv[index + 1])) options.sources.push_back(argv[++index]);
      if (options.sources.empty()) options.error = "-c needs at least one source file";
    } else if (std::strncmp(argument, "-I", 2) == 0) {
      const char* folder = optionValue(argc, argv, index);
      if (folder) options.includeFolders.push_back(folder);
      else options.error = "-I needs a folder";
    } else if (std::strncmp(argument, "-w", 2) == 0) {
      if (!parseLevel(optionValue(argc, argv, index), options.warningLevel)) {
        options.error = "-w needs a warning level from 0 to 9";
      }
    } else if (std::strncmp(argument, "-o", 2) == 0) {
      const char* file = optionValue(argc, argv, index);
      if (file) options.outputFile = file;
      else options.error = "-o needs a file name";
    } else if (std::strncmp(argument, "-d", 2) == 0) {
      const char* folder = optionValue(argc, argv, index);
      if (folder) options.outputFolder = folder;
      else options.error = "-d needs a folder";
    } else {
      options.error = std::string("unknown option or stray argument: ") + argument;
    }
  }
  if (!options.error.empty()) return options;
  if (!options.outputFile.empty() && !options.outputFolder.empty()) options.error = "-o and -d exclude each other";
  else if (!options.outputFile.empty() && options.sources.size() != 1) options.error = "-o needs exactly one source file";
  else if (options.registerSaved && options.outputFile.empty() && options.outputFolder.empty()) {
    options.error = "--register needs -o or -d";
  }
  return options;
}

}  // namespace modforge
