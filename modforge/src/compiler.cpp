// The compile of a source file and of the modules it imports, and the
// statistics that close every compile run.
#include "modforge/compiler.h"

#include "modforge/messages.h"
#include "parser.h"
#include "winsnmp.h"

#include <cstdio>
#include <filesystem>

namespace modforge {
namespace {

std::string statisticsLine(int count, const char* what) {
  char line[64];
  std::snprintf(line, sizeof line, "%20d %s", count, what);
  return line;
}

std::string fullPath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(path, ignored);
  return full.empty() ? path : full.lexically_normal().string();
}

}  // namespace

Compiler::Compiler(CompileLog& log, ModuleLocator& locator) : log_(log), locator_(locator) {}

void Compiler::useManagerLibrary() {
  if (managerLibraryStarted_) return;
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  managerLibraryStarted_ = true;
}

bool Compiler::compileFile(const std::string& path) {
  SourceReader reader;
  if (!reader.openFile(path)) {
    log_.message(fatalErrorLine(-2));
    return false;
  }
  return compileSource(reader, fullPath(path), 0);
}

bool Compiler::compileText(std::string_view text, const std::string& name) {
  SourceReader reader;
  reader.openText(text);
  return compileSource(reader, name, 0);
}

bool Compiler::compileSource(SourceReader& reader, const std::string& path, int depth) {
  Parser parser(*this, reader, path, depth);
  bool compiled = parser.compile();
  log_.message(statisticsLine(parser.linesRead(), "source line(s)."));
  log_.message(statisticsLine(parser.syntaxErrors(), "syntax error(s)."));
  log_.message(statisticsLine(parser.warnings(), "warning(s)."));
  return compiled;
}

void Compiler::clear() {
  tree_.clear();
  types_.clear();
  modules_.clear();
  compiled_.clear();
  failed_.clear();
  compiledOrder_.clear();
}

bool Compiler::wasCompiled(std::string_view module) const { return compiled_.find(module) != compiled_.end(); }

std::string Compiler::moduleCompiledFrom(const std::string& path) const {
  std::string full = fullPath(path);
  for (const std::string& module : compiledOrder_) {
    const KnownModule* known = modules_.find(module);
    if (known && known->sourcePath == full) return module;
  }
  return {};
}

void Compiler::noteCompiled(const std::string& module, const std::string& path) {
  if (compiled_.insert(module).second) compiledOrder_.push_back(module);
  modules_.entry(module).sourcePath = path;
}

// A source path the known-module list (a registry entry) gives for
// `module`, when that file still holds the module.
std::string Compiler::sourceOfKnownModule(const std::string& module) const {
  const KnownModule* known = modules_.find(module);
  if (!known || known->sourcePath.empty()) return {};
  return firstModuleName(known->sourcePath) == module ? known->sourcePath : std::string();
}

bool Compiler::importModule(const std::string& module, bool namesIdentifiers, int depth) {
  log_.message("\r\nImporting " + module);
  // RFC-1212 defines only the OBJECT-TYPE macro, which the parser knows.
  if (module == "RFC-1212" || !namesIdentifiers) return true;
  if (failed_.count(module)) {
    log_.message("Cannot import module " + module + ": it could not be compiled");
    return false;
  }
  if (wasCompiled(module)) {
    log_.message(". Already loaded !");
    log_.message("Finished importing " + module + ".\r\n");
    return true;
  }
  std::string path = sourceOfKnownModule(module);
  if (path.empty()) path = locator_.locate(module, log_);
  if (path.empty()) return false;
  SourceReader reader;
  if (!reader.openFile(path)) {
    log_.message(fatalErrorLine(-2));
    return false;
  }
  path = fullPath(path);
  bool compiled = compileSource(reader, path, depth + 1);
  modules_.entry(module).sourcePath = path;
  if (compiled) log_.message("Finshed importing " + module + "\r\n");
  return compiled;
}

}  // namespace modforge
