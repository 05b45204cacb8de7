// Registering the modules of a compile run in the module registry: one
// registration at a time, and all of them as one change of the registry,
// for 10 and 100 saved modules, in a temporary registry.
#include "modforge/module_registry.h"

#include "platform/registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string temporaryFolder(const char* role) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-").string() + role + "-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  return pattern;
}

const std::string& databaseFolder() {
  static std::string folder = temporaryFolder("smidb");
  return folder;
}

// Saved modules: each has its file, as after a compile with -d.
std::vector<modforge::KnownModule> savedModules(int count) {
  std::vector<modforge::KnownModule> modules(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    modforge::KnownModule& module = modules[static_cast<size_t>(i)];
    module.name = "BENCH-" + std::to_string(i) + "-MIB";
    module.rootOid = "1.3.6.1.4.1.27182." + std::to_string(i);
    module.databasePath = databaseFolder() + "/" + module.name + ".smidb";
    module.sourcePath = "/usr/share/snmp/mibs/" + module.name + ".txt";
    std::ofstream(module.databasePath) << "smidb";
  }
  return modules;
}

void emptyRegistry() { std::filesystem::remove(platform::registryHiveFile(HKEY_LOCAL_MACHINE)); }

void RegisterOneAtATime(benchmark::State& state) {
  std::vector<modforge::KnownModule> modules = savedModules(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    emptyRegistry();
    state.ResumeTiming();
    for (const modforge::KnownModule& module : modules) {
      std::string error;
      if (!modforge::registerSavedModule(module, error)) state.SkipWithError(error.c_str());
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RegisterOneAtATime)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void RegisterInOneChange(benchmark::State& state) {
  std::vector<modforge::KnownModule> modules = savedModules(static_cast<int>(state.range(0)));
  std::vector<const modforge::KnownModule*> all;
  for (const modforge::KnownModule& module : modules) all.push_back(&module);
  for (auto _ : state) {
    state.PauseTiming();
    emptyRegistry();
    state.ResumeTiming();
    std::string error;
    if (!modforge::registerSavedModules(all, error)) state.SkipWithError(error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RegisterInOneChange)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::string registry = temporaryFolder("registry");
  setenv("ORVANE_REGISTRY", registry.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(registry);
  std::filesystem::remove_all(databaseFolder());
  return 0;
}
