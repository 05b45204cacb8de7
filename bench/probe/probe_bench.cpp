// agentprobe against snmpwalk on the same private net-snmp agent, both
// resolving names from the same standard MIBs (the MIB cache and net-snmp's
// own modules), and both numeric. Every iteration runs the program whole,
// so start-up counts; the ping benchmarks (two requests) are mostly
// start-up. GetBulk walks (agentprobe -g against snmpbulkwalk -Cr, 10 and
// 50 per request) are numeric. With --pairs=N it runs the programs in turn
// instead, N pairs per job, and prints the medians of the pairwise wall
// and CPU ratios; ORVANE_AGENTPROBE then names another build's probe to
// compare.
#include "background_process.h"
#include "net_snmp_agent.h"
#include "paired_runs.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string mibCache() {
  const char* cache = std::getenv("ORVANE_MIB_CACHE");
  const char* home = std::getenv("HOME");
  return cache ? cache : std::string(home ? home : "") + "/.cache/orvane/mibs";
}

const std::string kNetSnmpMibs = "/usr/share/snmp/mibs";

// Compiles and registers the standard MIBs once, into the benchmark's own
// registry.
void registerStandardMibs() {
  static bool done = [] {
    std::string folder = std::filesystem::temp_directory_path() / ("probe-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder + "/registry");
    setenv("ORVANE_REGISTRY", (folder + "/registry").c_str(), 1);
    std::vector<std::string> arguments{ORVANE_MODFORGE_PATH, "-w", "0", "-I", mibCache(), "-c"};
    for (const auto& entry : std::filesystem::directory_iterator(mibCache())) arguments.push_back(entry.path());
    arguments.insert(arguments.end(), {"-d", folder + "/smidb", "--register"});
    runProgram(arguments, std::chrono::seconds(60));
    return true;
  }();
  (void)done;
}

NetSnmpAgent& agent() {
  static std::unique_ptr<NetSnmpAgent> running = [] {
    auto started = std::make_unique<NetSnmpAgent>();
    return started->start() ? std::move(started) : nullptr;
  }();
  return *running;
}

void runToEnd(benchmark::State& state, const std::vector<std::string>& arguments) {
  if (runProgram(arguments, std::chrono::seconds(120)).exitCode < 0) state.SkipWithError("did not run to its end");
}

std::string agentprobePath() {
  const char* other = std::getenv("ORVANE_AGENTPROBE");
  return other && *other ? other : ORVANE_AGENTPROBE_PATH;
}

std::vector<std::string> probeArguments(bool names, bool walk) {
  std::vector<std::string> arguments{agentprobePath(), "-cpublic"};
  if (walk) arguments.insert(arguments.end(), {"-f", "-s1"});
  if (!names) arguments.push_back("-o");
  arguments.push_back(agent().address());
  return arguments;
}

std::vector<std::string> snmpwalkArguments(bool names, bool walk) {
  std::vector<std::string> arguments{"snmpwalk", "-v1", "-c", "public"};
  if (names) arguments.insert(arguments.end(), {"-M", mibCache() + ":" + kNetSnmpMibs, "-m", "ALL"});
  else arguments.insert(arguments.end(), {"-On", "-m", ""});
  arguments.push_back(agent().address());
  arguments.push_back(walk ? ".1" : ".1.3.6.1.2.1.1.3");
  return arguments;
}

void BM_Agentprobe(benchmark::State& state) {
  registerStandardMibs();
  bool names = state.range(0) != 0, walk = state.range(1) != 0;
  for (auto _ : state) runToEnd(state, probeArguments(names, walk));
}

void BM_Snmpwalk(benchmark::State& state) {
  bool names = state.range(0) != 0, walk = state.range(1) != 0;
  for (auto _ : state) runToEnd(state, snmpwalkArguments(names, walk));
}

std::vector<std::string> bulkProbeArguments(int repetitions) {
  return {agentprobePath(), "-cpublic", "-o", "-f", "-s1", "-g" + std::to_string(repetitions), agent().address()};
}

std::vector<std::string> snmpbulkwalkArguments(int repetitions) {
  return {"snmpbulkwalk", "-v2c", "-c", "public", "-On", "-m", "", "-Cr" + std::to_string(repetitions),
          agent().address(), ".1"};
}

void BM_AgentprobeBulk(benchmark::State& state) {
  for (auto _ : state) runToEnd(state, bulkProbeArguments(static_cast<int>(state.range(0))));
}

void BM_Snmpbulkwalk(benchmark::State& state) {
  for (auto _ : state) runToEnd(state, snmpbulkwalkArguments(static_cast<int>(state.range(0))));
}

// Arguments: names (1) or numeric (0); whole walk (1) or ping (0).
BENCHMARK(BM_Agentprobe)->ArgsProduct({{1, 0}, {1, 0}})->ArgNames({"names", "walk"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Snmpwalk)->ArgsProduct({{1, 0}, {1, 0}})->ArgNames({"names", "walk"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
// Argument: the variables per GetBulk request.
BENCHMARK(BM_AgentprobeBulk)->Arg(10)->Arg(50)->ArgNames({"repetitions"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(2);
BENCHMARK(BM_Snmpbulkwalk)->Arg(10)->Arg(50)->ArgNames({"repetitions"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(2);

void runPairs(int pairs) {
  registerStandardMibs();
  struct Job {
    const char* label;
    bool names, walk;
  };
  for (Job job : {Job{"walk with names", true, true}, Job{"walk, numeric", false, true},
                  Job{"ping with names", true, false}}) {
    auto probe = probeArguments(job.names, job.walk), walk = snmpwalkArguments(job.names, job.walk);
    paired::compare(job.label, pairs, [&] { runProgram(probe, std::chrono::seconds(120)); },
                    [&] { runProgram(walk, std::chrono::seconds(120)); });
  }
}

void runBulkPairs(int pairs) {
  for (int repetitions : {10, 50}) {
    auto probe = bulkProbeArguments(repetitions), walk = snmpbulkwalkArguments(repetitions);
    std::string label = "bulk walk, " + std::to_string(repetitions) + " a request";
    paired::compare(label.c_str(), pairs, [&] { runProgram(probe, std::chrono::seconds(120)); },
                    [&] { runProgram(walk, std::chrono::seconds(120)); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (int pairs = paired::takePairsOption(argc, argv)) {
    std::printf("agentprobe / snmpwalk -v1, medians of pairwise ratios\n");
    runPairs(pairs);
    std::printf("agentprobe -g / snmpbulkwalk -v2c -Cr, medians of pairwise ratios\n");
    runBulkPairs(pairs);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
