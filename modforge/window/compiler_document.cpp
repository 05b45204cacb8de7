#include "compiler_document.h"

#include "modforge/module_registry.h"
#include "modforge/module_saver.h"

#include <ctime>
#include <filesystem>

namespace modforge {

CompilerDocument::CompilerDocument(CompileLog& log, ImportPrompt& prompt)
    : log_(log), locator_(prompt), compiler_(log, locator_) {}

CompilerDocument::CompileOutcome CompilerDocument::compile(const std::string& path, int warningLevel) {
  compiler_.clear();
  module_.clear();
  unsaved_ = false;
  addRegisteredModules(compiler_.modules());
  std::string folder = std::filesystem::path(path).parent_path().string();
  locator_.searchIn(SearchPath::standardFolders(folder.empty() ? std::vector<std::string>{}
                                                               : std::vector<std::string>{folder},
                                                "ORVANE_MIBPATH"));
  compiler_.settings.warningLevel = warningLevel;
  log_.message("Compiling " + path);
  if (!compiler_.compileFile(path)) {
    compiler_.clear();
    bool cancelled = locator_.cancelled();
    log_.message(cancelled ? "Operation canceled by user" : "Compiling " + path + " failed");
    return cancelled ? CompileOutcome::cancelled : CompileOutcome::failed;
  }
  log_.message("Finshed compiling " + path);
  if (!compiler_.compiledModules().empty()) module_ = compiler_.compiledModules().front();
  unsaved_ = hasNodes();
  return CompileOutcome::compiled;
}

bool CompilerDocument::hasNodes() const {
  if (module_.empty()) return false;
  for (const Node* node = compiler_.tree().first(); node; node = node->next)
    if (node->module == module_) return true;
  return false;
}

CompilerDocument::SaveOutcome CompilerDocument::save(const std::string& path, std::string& error) {
  switch (saveModule(compiler_, module_, path, std::time(nullptr))) {
    case modforge::SaveOutcome::nothingToSave:
      return SaveOutcome::nothingToSave;
    case modforge::SaveOutcome::failed:
      error = "File: " + path;
      return SaveOutcome::writeFailed;
    case modforge::SaveOutcome::saved:
      break;
  }
  unsaved_ = false;
  if (!registerSavedModule(*compiler_.modules().find(module_), error)) return SaveOutcome::registrationFailed;
  return SaveOutcome::saved;
}

void CompilerDocument::registerOnExit() {
  const KnownModule* known = module_.empty() ? nullptr : compiler_.modules().find(module_);
  std::string ignored;
  if (known) (void)registerSavedModule(*known, ignored);
}

}  // namespace modforge
