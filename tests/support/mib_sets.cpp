#include "mib_sets.h"

#include "modforge/lexer.h"
#include "modforge/module_locator.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace modforge;

namespace {

std::string cacheFolder(const char* variable, const char* name) {
  if (const char* set = std::getenv(variable)) return set;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME")) return std::string(xdg) + "/orvane/" + name;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.cache/orvane/" + name;
}

// Calls `visit(token, lexer)` for every token of `file`.
template <class Visit>
void forEachTokenOf(const std::string& file, Visit visit) {
  SourceReader reader;
  if (!reader.openFile(file)) return;
  SilentLog quiet;
  Lexer lexer(reader, quiet, false);
  for (const Token* token = &lexer.next(); token->code != kEndOfFile; token = &lexer.next()) visit(*token, lexer);
}

}  // namespace

std::string standardMibFolder() { return cacheFolder("ORVANE_MIB_CACHE", "mibs"); }

std::string mibCorpusFolder() { return cacheFolder("ORVANE_MIB_CORPUS", "mib-corpus"); }

std::vector<std::string> mibSourcesOf(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (entry->is_regular_file(ignored) && entry->path().filename().string()[0] != '.') files.push_back(entry->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::map<std::string, std::set<std::string>> importsOf(const std::vector<std::string>& files) {
  std::map<std::string, std::set<std::string>> imports;
  for (const std::string& file : files) {
    std::set<std::string>& from = imports[firstModuleName(file)];
    bool inImports = false;
    forEachTokenOf(file, [&](const Token& token, Lexer& lexer) {
      if (token.code == kImports) inImports = true;
      else if (token.code == kSemicolon) inImports = false;
      else if (inImports && token.code == kFrom) from.insert(lexer.next().text);
    });
  }
  return imports;
}

std::map<std::string, std::set<std::string>> trapNamesOf(const std::vector<std::string>& files) {
  std::map<std::string, std::set<std::string>> names;
  for (const std::string& file : files) {
    std::string module, previous;
    forEachTokenOf(file, [&](const Token& token, Lexer&) {
      if (token.code == kDefinitions) module = previous;
      if (token.code == kTrapType) names[module].insert(previous);
      previous = token.text;
    });
  }
  return names;
}
