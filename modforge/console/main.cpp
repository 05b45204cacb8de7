// modforge's console mode: compiles MIB sources, saves and registers them,
// lists and removes registered modules, all without a window. Without
// options (nothing, or source file names only) it is the windowed program.
#include "command_line.h"
#include "console_log.h"

#include "modforge/compiler.h"
#include "modforge/module_registry.h"
#include "modforge/module_saver.h"
#include "modforge/search_path.h"
#include "windowed_compiler.h"
#include "smidb_registration.h"
#include "winsnmp.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

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

// Saves one module (and registers it when asked); false on failure. A
// module without nodes fails only when it was asked for by name (-o).
bool saveAndRegister(Compiler& compiler, const std::string& module, const std::string& path, bool registerIt,
                     bool mustHaveNodes) {
  SaveOutcome outcome = saveModule(compiler, module, path, std::time(nullptr));
  if (outcome == SaveOutcome::nothingToSave) return !mustHaveNodes;
  if (outcome == SaveOutcome::failed) return false;
  compiler.log().message("Saved " + module + " as " + path);
  if (!registerIt) return true;
  std::string error;
  if (!registerSavedModule(*compiler.modules().find(module), error)) {
    compiler.log().message("Error: " + module + " could not be registered: " + error);
    return false;
  }
  return true;
}

bool saveModules(Compiler& compiler, const ConsoleOptions& options) {
  if (!options.outputFile.empty()) {
    if (compiler.compiledModules().empty()) return false;
    return saveAndRegister(compiler, compiler.compiledModules().front(), options.outputFile, options.registerSaved, true);
  }
  if (options.outputFolder.empty()) return true;
  std::error_code error;
  std::filesystem::create_directories(options.outputFolder, error);
  bool allSaved = true;
  for (const std::string& module : compiler.compiledModules()) {
    if (compiler.failed(module)) continue;
    std::string path = (std::filesystem::path(options.outputFolder) / (module + ".smidb")).string();
    allSaved &= saveAndRegister(compiler, module, path, options.registerSaved, false);
  }
  return allSaved;
}

void listRegisteredModules() {
  std::vector<RegisteredModule> modules = registeredModules();
  if (modules.empty()) std::puts("No modules are registered.");
  for (const RegisteredModule& module : modules) {
    std::printf("%4s  %-32s %-24s %s\n", module.valueName.c_str(), module.identity.c_str(),
                module.rootOid.empty() ? "-" : module.rootOid.c_str(), module.databasePath.c_str());
  }
}

bool removeEverything() {
  std::vector<std::string> failures = removeAllModules();
  for (const std::string& failure : failures) std::fprintf(stderr, "Error: %s\n", failure.c_str());
  return failures.empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each message reaches a pipe when its line is whole
  if (std::optional<std::vector<std::string>> windowFiles = windowedStart(argc, argv)) {
    if (displayAvailable()) return runWindowedCompiler(argc, argv, *windowFiles);
    std::fprintf(stderr, "modforge: there is no display to open the window on (DISPLAY is not set); "
                         "without a window, use the options below.\n\n%s", usageText());
    return kExitFailed;
  }
  ConsoleOptions options = parseCommandLine(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "modforge: %s\n\n%s", options.error.c_str(), usageText());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(usageText(), stdout);
    return 0;
  }
  bool succeeded = true;
  if (options.removeAll) succeeded &= removeEverything();
  smidb::compactModuleRegistry();
  if (!options.sources.empty()) {
    ConsoleLog log;
    SearchPath searchPath(SearchPath::standardFolders(options.includeFolders, "ORVANE_MIBPATH"));
    Compiler compiler(log, searchPath);
    compiler.settings.warningLevel = options.warningLevel;
    compiler.settings.listing = options.listing;
    addRegisteredModules(compiler.modules());
    succeeded &= compileSources(compiler, options);
    succeeded &= saveModules(compiler, options);
    SnmpCleanup();
  }
  if (options.list) listRegisteredModules();
  return succeeded ? 0 : kExitFailed;
}
