// Compiles the whole standard MIB set (the IETF modules of the MIB cache
// and net-snmp's modules), and the corpus test's set (those and the
// real-world modules of the MIB corpus), into a fresh tree per iteration.
#include "modforge/compiler.h"
#include "modforge/search_path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string cacheFolder(const char* variable, const char* name) {
  if (const char* set = std::getenv(variable)) return set;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME")) return std::string(xdg) + "/orvane/" + name;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.cache/orvane/" + name;
}

std::vector<std::string> standardFolders() { return {cacheFolder("ORVANE_MIB_CACHE", "mibs"), "/usr/share/snmp/mibs"}; }

std::vector<std::string> corpusFolders() {
  std::vector<std::string> folders = standardFolders();
  folders.insert(folders.begin(), cacheFolder("ORVANE_MIB_CORPUS", "mib-corpus"));
  return folders;
}

std::vector<std::string> sourceFiles(const std::vector<std::string>& folders) {
  std::vector<std::string> files;
  for (const std::string& folder : folders) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
      if (entry->is_regular_file() && entry->path().filename().string()[0] != '.') files.push_back(entry->path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void compileSet(benchmark::State& state, const std::vector<std::string>& folders) {
  std::vector<std::string> files = sourceFiles(folders);
  if (files.empty()) {
    state.SkipWithError("no MIB sources: run scripts/setup");
    return;
  }
  size_t nodes = 0;
  for (auto _ : state) {
    modforge::SilentLog log;
    modforge::SearchPath searchPath(folders);
    modforge::Compiler compiler(log, searchPath);
    for (const std::string& file : files) benchmark::DoNotOptimize(compiler.compileFile(file));
    nodes = compiler.tree().size();
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["nodes"] = static_cast<double>(nodes);
}

void CompileStandardSet(benchmark::State& state) { compileSet(state, standardFolders()); }
BENCHMARK(CompileStandardSet)->Unit(benchmark::kMillisecond);

void CompileCorpusSet(benchmark::State& state) { compileSet(state, corpusFolders()); }
BENCHMARK(CompileCorpusSet)->Unit(benchmark::kMillisecond);

}  // namespace
