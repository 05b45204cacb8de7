// agentprobe -g against snmpbulkwalk on the same private net-snmp agent,
// whole-MIB walks with numeric names, pairwise: every iteration runs both,
// one after the other, so that the load of a shared machine falls on both
// alike. Counters give each one's wall and CPU time per walk (the CPU time
// of the child process, user and system) and the ratios (below 1: the
// probe is faster).
#include "background_process.h"
#include "net_snmp_agent.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

// Null when snmpd did not start.
NetSnmpAgent* agent() {
  static std::unique_ptr<NetSnmpAgent> running = [] {
    auto started = std::make_unique<NetSnmpAgent>();
    return started->start() ? std::move(started) : nullptr;
  }();
  return running.get();
}

double childrenCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto milliseconds = [](const timeval& time) { return time.tv_sec * 1000.0 + time.tv_usec / 1000.0; };
  return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

struct Cost {
  double wall = 0;
  double cpu = 0;
};

// Runs the program whole and adds its wall and CPU time to `cost`.
bool timedRun(const std::vector<std::string>& arguments, Cost& cost) {
  double cpuBefore = childrenCpuMilliseconds();
  auto begin = std::chrono::steady_clock::now();
  bool ran = runProgram(arguments, std::chrono::seconds(120)).exitCode >= 0;
  cost.wall += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  cost.cpu += childrenCpuMilliseconds() - cpuBefore;
  return ran;
}

void BM_BulkWalkPair(benchmark::State& state) {
  if (!agent()) {
    state.SkipWithError("snmpd did not start");
    return;
  }
  std::string repetitions = std::to_string(state.range(0));
  std::vector<std::string> probe{ORVANE_AGENTPROBE_PATH, "-cpublic", "-o", "-f", "-s1", "-g" + repetitions,
                                 agent()->address()};
  std::vector<std::string> peer{"snmpbulkwalk", "-v2c", "-c", "public", "-On", "-m", "", "-Cr" + repetitions,
                                agent()->address(), ".1"};
  Cost mine, theirs;
  for (auto _ : state) {
    if (!timedRun(probe, mine) || !timedRun(peer, theirs)) state.SkipWithError("did not run to its end");
  }
  double walks = static_cast<double>(state.iterations());
  state.counters["probe_wall_ms"] = mine.wall / walks;
  state.counters["peer_wall_ms"] = theirs.wall / walks;
  state.counters["wall_ratio"] = mine.wall / theirs.wall;
  state.counters["probe_cpu_ms"] = mine.cpu / walks;
  state.counters["peer_cpu_ms"] = theirs.cpu / walks;
  state.counters["cpu_ratio"] = mine.cpu / theirs.cpu;
}

// Argument: the repetitions per GetBulk request (-g and -Cr).
BENCHMARK(BM_BulkWalkPair)->Arg(10)->Arg(50)->ArgNames({"repetitions"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
