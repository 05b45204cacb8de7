// A module set of about 10,000 nodes, made with the SMIDB writer and
// registered in a temporary registry: the time to load it through the
// library, the time to build its tree with the indexes and with the plain
// reference rules, and lookups per second by name and by OID both ways.
#include "loaded_module.h"
#include "mib_tree.h"
#include "reference_tree.h"
#include "smidb_reader.h"
#include "smidb_registration.h"
#include "smidb_writer.h"

#include "wsm.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kModules = 10;
constexpr int kGroups = 20;   // per module
constexpr int kTables = 5;    // per group
constexpr int kColumns = 9;   // per table

using Oid = std::vector<uint32_t>;

struct ModuleSet {
  std::vector<std::string> identities;
  std::vector<std::vector<unsigned char>> files;
  std::vector<std::string> names;  // of every node, for lookups
  std::vector<Oid> oids;
  size_t nodes = 0;
};

ModuleSet& moduleSet() {
  static ModuleSet set;
  return set;
}

void addNode(smidb::Writer& writer, ModuleSet& set, const std::string& name, const Oid& oid, uint32_t module) {
  writer.addNode(name, oid, module);
  set.names.push_back(name);
  set.oids.push_back(oid);
}

// One module: the ancestors down to the maker's subtree, as the compiler
// writes them, then groups of tables of columns in depth-first order.
std::vector<unsigned char> makeModule(ModuleSet& set, int index) {
  std::string identity = "BENCH-" + std::to_string(index) + "-MIB";
  smidb::Writer writer(identity, smidb::makeDescription(identity, 0));
  uint32_t own = writer.addName(identity);
  uint32_t smi = writer.addName("RFC1155-SMI");
  const std::pair<const char*, Oid> ancestors[] = {
      {"iso", {1}}, {"org", {1, 3}}, {"dod", {1, 3, 6}}, {"internet", {1, 3, 6, 1}},
      {"private", {1, 3, 6, 1, 4}}, {"enterprises", {1, 3, 6, 1, 4, 1}}, {"orvane", {1, 3, 6, 1, 4, 1, 27182}}};
  for (const auto& [name, oid] : ancestors) writer.addNode(name, oid, smi);
  std::string prefix = "m" + std::to_string(index);
  Oid root = {1, 3, 6, 1, 4, 1, 27182, static_cast<uint32_t>(index + 1)};
  addNode(writer, set, prefix, root, own);
  smidb::ObjectTypeCodes column{2, smidb::kReadOnly, smidb::kCurrent};
  for (uint32_t group = 1; group <= kGroups; ++group) {
    Oid groupOid = root;
    groupOid.push_back(group);
    std::string groupName = prefix + "g" + std::to_string(group);
    addNode(writer, set, groupName, groupOid, own);
    for (uint32_t table = 1; table <= kTables; ++table) {
      Oid entry = groupOid;
      entry.insert(entry.end(), {table, 1});
      std::string tableName = groupName + "t" + std::to_string(table);
      addNode(writer, set, tableName + "Entry", entry, own);
      for (uint32_t columnNumber = 1; columnNumber <= kColumns; ++columnNumber) {
        Oid columnOid = entry;
        columnOid.push_back(columnNumber);
        std::string name = tableName + "c" + std::to_string(columnNumber);
        writer.addObjectType(name, columnOid, own, column, "A column.");
        set.names.push_back(name);
        set.oids.push_back(columnOid);
      }
    }
  }
  set.identities.push_back(identity);
  return writer.bytes();
}

void makeModuleSet(const std::string& folder) {
  ModuleSet& set = moduleSet();
  for (int index = 0; index < kModules; ++index) {
    set.files.push_back(makeModule(set, index));
    std::string path = folder + "/" + set.identities.back() + ".smidb";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(set.files.back().data()),
               static_cast<std::streamsize>(set.files.back().size()));
    LONG error = 0;
    smidb::registerModule({set.identities.back(), "1.3.6.1.4.1.27182", path, ""}, error);
  }
  set.nodes = set.oids.size() + 7;
}

// The definitions of every file, for building trees outside the library.
struct ParsedSet {
  std::vector<modbase::ModuleContents> modules;
  std::vector<reference::Definition> references;
};

ParsedSet& parsedSet() {
  static ParsedSet parsed = [] {
    ParsedSet result;
    for (const auto& file : moduleSet().files) {
      modbase::ModuleContents contents;
      modbase::ReadFailure failure;
      if (!modbase::readModuleFile(file.data(), file.size(), contents, failure)) std::abort();
      for (const modbase::Definition& definition : contents.definitions) {
        reference::Definition copy;
        copy.id = static_cast<int>(result.references.size());
        copy.name = definition.name;
        for (uint32_t i = 0; i < definition.oid.size(); ++i) copy.oid.push_back(definition.oid[i]);
        result.references.push_back(copy);
      }
      result.modules.push_back(std::move(contents));
    }
    return result;
  }();
  return parsed;
}

const reference::Tree& loadedReferenceTree() {
  static reference::Tree* tree = [] {
    auto* built = new reference::Tree;
    for (const reference::Definition& definition : parsedSet().references) built->insert(definition);
    built->link();
    return built;
  }();
  return *tree;
}

void loadAll() {
  for (const std::string& identity : moduleSet().identities) {
    if (!WsmLoadModule(identity.c_str())) std::abort();
  }
}

void unloadAll() {
  for (const std::string& identity : moduleSet().identities) WsmUnloadModule(identity.c_str());
}

// ----- loading -----

void LoadModuleSetThroughLibrary(benchmark::State& state) {
  for (auto _ : state) {
    loadAll();
    state.PauseTiming();
    unloadAll();
    state.ResumeTiming();
  }
  state.counters["nodes"] = static_cast<double>(moduleSet().nodes);
}
BENCHMARK(LoadModuleSetThroughLibrary)->Unit(benchmark::kMillisecond);

// The same load with the tree of plain scans: registry, mapping and
// reading as the library does, then the reference insertion rules.
void LoadModuleSetWithReferenceScans(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::unique_ptr<modbase::LoadedModule>> modules;
    std::vector<std::unique_ptr<reference::Definition>> definitions;
    reference::Tree tree;
    for (const std::string& identity : moduleSet().identities) {
      std::unique_ptr<modbase::LoadedModule> module;
      if (modbase::openModule(identity, module) != 0) std::abort();
      for (const modbase::Definition& source : module->contents.definitions) {
        auto definition = std::make_unique<reference::Definition>();
        definition->name = source.name;
        for (uint32_t i = 0; i < source.oid.size(); ++i) definition->oid.push_back(source.oid[i]);
        tree.insert(*definition);
        definitions.push_back(std::move(definition));
      }
      modules.push_back(std::move(module));
    }
    tree.link();
    benchmark::DoNotOptimize(tree.nodes().size());
  }
}
BENCHMARK(LoadModuleSetWithReferenceScans)->Unit(benchmark::kMillisecond)->Iterations(3);

void BuildTreeIndexed(benchmark::State& state) {
  for (auto _ : state) {
    modbase::MibTree tree;
    for (auto& module : parsedSet().modules) {
      for (modbase::Definition& definition : module.definitions) (void)tree.insert(definition);
    }
    benchmark::DoNotOptimize(tree.size());
  }
}
BENCHMARK(BuildTreeIndexed)->Unit(benchmark::kMillisecond);

void BuildTreeReferenceScans(benchmark::State& state) {
  for (auto _ : state) {
    reference::Tree tree;
    for (const reference::Definition& definition : parsedSet().references) tree.insert(definition);
    tree.link();
    benchmark::DoNotOptimize(tree.nodes().size());
  }
}
BENCHMARK(BuildTreeReferenceScans)->Unit(benchmark::kMillisecond)->Iterations(3);

// ----- lookups -----

std::vector<size_t> probes() {
  std::mt19937 random(7);
  std::vector<size_t> picks(4096);
  for (size_t& pick : picks) pick = random() % moduleSet().oids.size();
  return picks;
}

void LookupByNameIndexed(benchmark::State& state) {
  loadAll();
  std::vector<size_t> picks = probes();
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WsmMapStrToNode(moduleSet().names[picks[next++ % picks.size()]].c_str()));
  }
  state.SetItemsProcessed(state.iterations());
  unloadAll();
}
BENCHMARK(LookupByNameIndexed);

void LookupByOidIndexed(benchmark::State& state) {
  loadAll();
  std::vector<size_t> picks = probes();
  size_t next = 0;
  for (auto _ : state) {
    Oid& oid = moduleSet().oids[picks[next++ % picks.size()]];
    smiOID key{static_cast<smiUINT32>(oid.size()), oid.data()};
    benchmark::DoNotOptimize(WsmMapOidToNode(&key));
  }
  state.SetItemsProcessed(state.iterations());
  unloadAll();
}
BENCHMARK(LookupByOidIndexed);

void LookupByNameReferenceScan(benchmark::State& state) {
  const reference::Tree& tree = loadedReferenceTree();
  std::vector<size_t> picks = probes();
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tree.findName(moduleSet().names[picks[next++ % picks.size()]]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LookupByNameReferenceScan);

void LookupByOidReferenceScan(benchmark::State& state) {
  const reference::Tree& tree = loadedReferenceTree();
  std::vector<size_t> picks = probes();
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tree.find(moduleSet().oids[picks[next++ % picks.size()]]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LookupByOidReferenceScan);

std::string temporaryFolder(const char* role) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-").string() + role + "-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  return pattern;
}

}  // namespace

int main(int argc, char** argv) {
  std::string registry = temporaryFolder("registry");
  std::string files = temporaryFolder("files");
  setenv("ORVANE_REGISTRY", registry.c_str(), 1);
  makeModuleSet(files);
  std::printf("module set: %d modules, %zu nodes\n", kModules, moduleSet().nodes);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(registry);
  std::filesystem::remove_all(files);
  return 0;
}
