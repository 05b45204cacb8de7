// modforge's console mode: compiles MIB sources, saves and registers them,
// lists and removes registered modules, all without a window. Without
// options (nothing, or source file names only) it is the windowed program.
#include "command_line.h"
#include "console_log.h"
#include "window_module.h"

#include "modforge/compiler.h"
#include "modforge/module_registry.h"
#include "modforge/module_saver.h"
#include "modforge/search_path.h"
#include "platform/loadable_module.h"
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

// Compiles every named source; false when one of them failed. A source
// whose module an earlier one imported is compiled already: compiling it
// again would only repeat its nodes.
bool compileSources(Compiler& compiler, const ConsoleOptions& options) {
  bool allCompiled = true;
  for (const std::string& path : options.sources) {
    compiler.log().message("Compiling " + path);
    if (std::string module = compiler.moduleCompiledFrom(path); !module.empty()) {
      compiler.log().message(module + " was compiled already in this run.");
      allCompiled &= !compiler.failed(module);
      continue;
    }
    if (compiler.compileFile(path)) compiler.log().message("Finshed compiling " + path);
    else allCompiled = false;
  }
  return allCompiled;
}

// Saves one module; false on failure. A module without nodes fails only
// when it was asked for by name (-o). `saved` gets the modules written.
bool saveOne(Compiler& compiler, const std::string& module, const std::string& path, bool mustHaveNodes,
             std::vector<const KnownModule*>& saved) {
  SaveOutcome outcome = saveModule(compiler, module, path, std::time(nullptr));
  if (outcome == SaveOutcome::nothingToSave) return !mustHaveNodes;
  if (outcome == SaveOutcome::failed) return false;
  compiler.log().message("Saved " + module + " as " + path);
  saved.push_back(compiler.modules().find(module));
  return true;
}

// Registers the modules saved in this run, as one change of the registry.
bool registerAll(Compiler& compiler, const std::vector<const KnownModule*>& saved) {
  if (saved.empty()) return true;
  std::string error;
  if (registerSavedModules(saved, error)) return true;
  std::string names;
  for (const KnownModule* module : saved) names += (names.empty() ? "" : ", ") + module->name;
  compiler.log().message("Error: " + names + " could not be registered: " + error);
  return false;
}

bool saveModules(Compiler& compiler, const ConsoleOptions& options) {
  std::vector<const KnownModule*> saved;
  bool allSaved = true;
  if (!options.outputFile.empty()) {
    if (compiler.compiledModules().empty()) return false;
    allSaved = saveOne(compiler, compiler.compiledModules().front(), options.outputFile, true, saved);
  } else if (!options.outputFolder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.outputFolder, error);
    for (const std::string& module : compiler.compiledModules()) {
      if (compiler.failed(module)) continue;
      std::string path = (std::filesystem::path(options.outputFolder) / (module + ".smidb")).string();
      allSaved &= saveOne(compiler, module, path, false, saved);
    }
  }
  return (options.registerSaved ? registerAll(compiler, saved) : true) && allSaved;
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

// Loads the window's module and runs the window.
int startWindow(int argc, char** argv, const std::vector<std::string>& files) {
  platform::LoadableModule window;
  bool opened = window.openBesideProgram(MODFORGE_WINDOW_MODULE);
  auto displayAvailable = opened ? reinterpret_cast<DisplayCheck>(window.function(kDisplayCheckName)) : nullptr;
  auto run = displayAvailable ? reinterpret_cast<WindowRun>(window.function(kWindowRunName)) : nullptr;
  if (!run) {
    std::fprintf(stderr, "modforge: the window cannot be started: %s\n", window.error().c_str());
    return kExitFailed;
  }
  if (!displayAvailable()) {
    std::fprintf(stderr, "modforge: there is no display to open the window on (DISPLAY is not set); "
                         "without a window, use the options below.\n\n%s", usageText());
    return kExitFailed;
  }
  std::vector<const char*> names;
  for (const std::string& file : files) names.push_back(file.c_str());
  return run(argc, argv, names.data(), static_cast<int>(names.size()));
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each message reaches a pipe when its line is whole
  if (std::optional<std::vector<std::string>> windowFiles = windowedStart(argc, argv)) {
    return startWindow(argc, argv, *windowFiles);
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
    SnmpCleanup();  // when the compile started it
  }
  if (options.list) listRegisteredModules();
  return succeeded ? 0 : kExitFailed;
}
