// One compiler session: the MIB tree, type table and known-module list of
// a program run, and the compile of source files into them. Front ends
// (the console program, the window) only drive this class.
#pragma once

#include "modforge/compile_log.h"
#include "modforge/known_modules.h"
#include "modforge/mib_tree.h"
#include "modforge/module_locator.h"
#include "modforge/type_table.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace modforge {

struct CompilerSettings {
  // 0 no warnings, 1 missing parents, 2 and above also duplicate OIDs and
  // type redefinitions.
  int warningLevel = 2;
  // Echo every source line read to the log.
  bool listing = false;
};

class Compiler {
 public:
  // Imports are compiled nested up to this depth.
  static constexpr int kDeepestImport = 64;

  Compiler(CompileLog& log, ModuleLocator& locator);
  Compiler(const Compiler&) = delete;
  Compiler& operator=(const Compiler&) = delete;

  // Compiles a source file into the tree. False when the file cannot be
  // opened, holds no module header, an import could not be compiled or the
  // file held too many errors; whatever was compiled stays in the tree.
  [[nodiscard]] bool compileFile(const std::string& path);
  // The same for source text held in memory; `name` stands for its path.
  [[nodiscard]] bool compileText(std::string_view text, const std::string& name);

  // Forgets every node, type and module of the run.
  void clear();

  CompilerSettings settings;

  MibTree& tree() { return tree_; }
  const MibTree& tree() const { return tree_; }
  TypeTable& types() { return types_; }
  const TypeTable& types() const { return types_; }
  KnownModules& modules() { return modules_; }
  const KnownModules& modules() const { return modules_; }
  CompileLog& log() { return log_; }

  // Modules whose header was compiled in this run, in compile order.
  [[nodiscard]] const std::vector<std::string>& compiledModules() const { return compiledOrder_; }
  [[nodiscard]] bool wasCompiled(std::string_view module) const;
  // The first module of this run compiled from the source file at `path`
  // (as a named file or as an import), or empty.
  [[nodiscard]] std::string moduleCompiledFrom(const std::string& path) const;
  // Whether the module's imports failed, so that it stopped after its header.
  [[nodiscard]] bool failed(std::string_view module) const { return failed_.find(module) != failed_.end(); }

  // For the parser: starts the manager library, whose OID conversion an
  // all-numeric OID value goes through, the first time one comes (its
  // start costs a thread, which most compiles never need).
  void useManagerLibrary();
  // For the parser: a module header was read from `path`.
  void noteCompiled(const std::string& module, const std::string& path);
  // For the parser: the module's imports failed, so must its importers.
  void noteFailed(const std::string& module) { failed_.insert(module); }
  // For the parser: resolves one IMPORTS group. False when the module's
  // source cannot be found or compiled, which fails the importing compile.
  [[nodiscard]] bool importModule(const std::string& module, bool namesIdentifiers, int depth);

 private:
  bool compileSource(class SourceReader& reader, const std::string& path, int depth);
  std::string sourceOfKnownModule(const std::string& module) const;

  CompileLog& log_;
  ModuleLocator& locator_;
  MibTree tree_;
  TypeTable types_;
  KnownModules modules_;
  std::set<std::string, std::less<>> compiled_;
  std::set<std::string, std::less<>> failed_;
  std::vector<std::string> compiledOrder_;
  bool managerLibraryStarted_ = false;
};

}  // namespace modforge
