// Compiles the whole standard MIB set (the IETF modules of the MIB cache
// and net-snmp's modules) into a fresh tree per iteration.
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

std::vector<std::string> standardFolders() {
  std::string cache;
  if (const char* set = std::getenv("ORVANE_MIB_CACHE")) cache = set;
  else if (const char* home = std::getenv("HOME")) cache = std::string(home) + "/.cache/orvane/mibs";
  return {cache, "/usr/share/snmp/mibs"};
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

void CompileStandardSet(benchmark::State& state) {
  std::vector<std::string> folders = standardFolders();
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
BENCHMARK(CompileStandardSet)->Unit(benchmark::kMillisecond);

}  // namespace
