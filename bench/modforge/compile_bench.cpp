// Compiles the whole standard MIB set (the IETF modules of the MIB cache
// and net-snmp's modules), and the corpus test's set (those and the
// real-world modules of the MIB corpus), into a fresh tree per iteration.
#include "mib_sets.h"
#include "modforge/compiler.h"
#include "modforge/search_path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> standardFolders() { return {standardMibFolder(), kNetSnmpMibFolder}; }

std::vector<std::string> corpusFolders() { return {mibCorpusFolder(), standardMibFolder(), kNetSnmpMibFolder}; }

std::vector<std::string> sourceFiles(const std::vector<std::string>& folders) {
  std::vector<std::string> files;
  for (const std::string& folder : folders) {
    for (const std::string& file : mibSourcesOf(folder)) files.push_back(file);
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
