// modforge's console mode: compiles MIB sources without a window. Without
// options it is the windowed program, which a later front end provides;
// until then it prints the usage.
#include "command_line.h"
#include "console_log.h"

#include "modforge/compiler.h"
#include "modforge/search_path.h"
#include "winsnmp.h"

#include <cstdio>

using namespace modforge;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Compiles every named source; false when one of them failed.
bool compileSources(Compiler& compiler, const ConsoleOptions& options) {
  bool allCompiled = true;
  for (const std::string& path : options.sources) {
    compiler.log().message("Compiling " + path);
    if (compiler.compileFile(path)) compiler.log().message("Finshed compiling " + path);
    else allCompiled = false;
  }
  return allCompiled;
}

}  // namespace

int main(int argc, char** argv) {
  ConsoleOptions options = parseCommandLine(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "modforge: %s\n\n%s", options.error.c_str(), usageText());
    return kExitUsage;
  }
  if (argc == 1 || options.help) {
    std::fputs(usageText(), stdout);
    return 0;
  }
  ConsoleLog log;
  SearchPath searchPath(SearchPath::standardFolders(options.includeFolders, "ORVANE_MIBPATH"));
  Compiler compiler(log, searchPath);
  compiler.settings.warningLevel = options.warningLevel;
  compiler.settings.listing = options.listing;
  bool succeeded = compileSources(compiler, options);
  SnmpCleanup();
  return succeeded ? 0 : kExitFailed;
}
