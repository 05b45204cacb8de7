// What the compiler window works on: one compiler run at a time, the
// module it compiled and whether that module has been saved since.
#pragma once

#include "import_locator.h"
#include "modforge/compiler.h"

#include <string>

namespace modforge {

class CompilerDocument {
 public:
  CompilerDocument(CompileLog& log, ImportPrompt& prompt);

  enum class CompileOutcome { compiled, failed, cancelled };
  // Replaces the tree by the compile of `path` (its imports searched in
  // the file's own folder and the standard folders, then asked for). On
  // failure nothing of it is kept.
  CompileOutcome compile(const std::string& path, int warningLevel);

  // The module of the last compile's file; empty when there is none.
  [[nodiscard]] const std::string& module() const { return module_; }
  // Whether that module defines any node, so that there is something to save.
  [[nodiscard]] bool hasNodes() const;
  [[nodiscard]] bool unsaved() const { return unsaved_; }
  // The module's file was deleted under it (Remove all).
  void markUnsaved() { unsaved_ = hasNodes(); }

  // Writes the module to `path` and registers it. `error` says what failed.
  enum class SaveOutcome { saved, nothingToSave, writeFailed, registrationFailed };
  SaveOutcome save(const std::string& path, std::string& error);

  // Registers the module as a save would (without a file of its own
  // unless it was saved): the registry then holds its source path.
  void registerOnExit();

  Compiler& compiler() { return compiler_; }
  const Compiler& compiler() const { return compiler_; }

 private:
  CompileLog& log_;
  ImportLocator locator_;
  Compiler compiler_;
  std::string module_;
  bool unsaved_ = false;
};

}  // namespace modforge
