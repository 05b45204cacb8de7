// Two ways of doing the same job, run in turn A B A B, each run's wall
// time and CPU time (user and system, of this process and of the children
// it waited for) taken; the medians of the pairwise ratios say how they
// compare on a machine whose load changes between pairs. CPU time counts
// every thread and every process waited for, so a child program's start-up
// counts as well as the work of an in-process client's helper threads.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace paired {

struct Cost {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds
};

inline double cpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    getrusage(who, &usage);
    total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

inline Cost measure(const std::function<void()>& run) {
  double cpuBefore = cpuSeconds();
  auto start = std::chrono::steady_clock::now();
  run();
  auto end = std::chrono::steady_clock::now();
  return {std::chrono::duration<double>(end - start).count(), cpuSeconds() - cpuBefore};
}

inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Prints one line: the medians of A's and B's wall and CPU times and of
// the pairwise ratios A/B (below 1: A is faster).
inline void compare(const char* label, int pairs, const std::function<void()>& a, const std::function<void()>& b) {
  std::vector<double> wallA, wallB, cpuA, cpuB, wallRatio, cpuRatio;
  for (int pair = 0; pair < pairs; ++pair) {
    Cost first = measure(a);
    Cost second = measure(b);
    wallA.push_back(first.wall);
    wallB.push_back(second.wall);
    cpuA.push_back(first.cpu);
    cpuB.push_back(second.cpu);
    wallRatio.push_back(second.wall > 0 ? first.wall / second.wall : 0);
    cpuRatio.push_back(second.cpu > 0 ? first.cpu / second.cpu : 0);
  }
  std::printf("%-24s wall %7.1f / %7.1f ms  ratio %.2f   cpu %7.1f / %7.1f ms  ratio %.2f   (%d pairs)\n", label,
              median(wallA) * 1e3, median(wallB) * 1e3, median(wallRatio), median(cpuA) * 1e3, median(cpuB) * 1e3,
              median(cpuRatio), pairs);
  std::fflush(stdout);
}

// The count of pairs asked for with --pairs=N, or 0 without it; the option
// is taken out of the arguments.
inline int takePairsOption(int& argc, char** argv) {
  int pairs = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--pairs=", 8) != 0) continue;
    pairs = std::atoi(argv[i] + 8);
    for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    break;
  }
  return pairs;
}

}  // namespace paired
