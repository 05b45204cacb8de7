// One polling service polling 60 agent simulators once a second: the
// service's CPU time per poll round (all 60 agents asked and answered)
// and its memory, against the same service idle with an empty table.
//
// The service's CPU time comes from /proc/<pid>/task/*/schedstat, read
// while nobody talks to its pipe; the rounds are counted from the contact
// counts the service reports before and after the measured window.
#include "polling_service_run.h"
#include "simulated_agent.h"

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kAgents = 60;
constexpr unsigned kInterval = 1000;
constexpr auto kWindow = std::chrono::seconds(20);

// The time the process's threads have run on a processor, in seconds,
// to the nanosecond (the threads live as long as the service).
double cpuSeconds(pid_t pid) {
  std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double total = 0;
  for (const auto& task : std::filesystem::directory_iterator(tasks)) {
    std::ifstream schedstat(task.path() / "schedstat");
    unsigned long long nanoseconds = 0;
    if (schedstat >> nanoseconds) total += static_cast<double>(nanoseconds) / 1e9;
  }
  return total;
}

// A line of /proc/<pid>/status such as VmRSS, in kilobytes.
long statusKilobytes(pid_t pid, const std::string& name) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(file, line);) {
    if (line.rfind(name + ":", 0) == 0) return std::atol(line.c_str() + name.size() + 1);
  }
  return -1;
}

// The sum of every descriptor's successful contacts.
long totalContacts(PollingServiceRun& service) {
  std::string all = service.console({"-va"}).output;
  long total = 0;
  for (size_t at = all.find("Succesfull contacts: "); at != std::string::npos;
       at = all.find("Succesfull contacts: ", at + 1)) {
    total += std::atol(all.c_str() + at + 21);
  }
  return total;
}

struct Measurement {
  double cpu = 0;
  double rounds = 0;
};

Measurement measure(PollingServiceRun& service, pid_t pid, bool countRounds) {
  long before = countRounds ? totalContacts(service) : 0;
  double cpuBefore = cpuSeconds(pid);
  std::this_thread::sleep_for(kWindow);
  double cpuAfter = cpuSeconds(pid);
  long after = countRounds ? totalContacts(service) : 0;
  return {cpuAfter - cpuBefore, static_cast<double>(after - before) / kAgents};
}

// A fresh folder for the run, so the benchmark touches none of the user's.
std::string temporaryFolder(const char* role) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-").string() + role + "-XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : "";
}

int run();

}  // namespace

int main() {
  std::string registry = temporaryFolder("registry");
  std::string runtime = temporaryFolder("runtime");
  if (registry.empty() || runtime.empty()) return 1;
  setenv("ORVANE_REGISTRY", registry.c_str(), 1);
  setenv("ORVANE_RUNTIME_DIR", runtime.c_str(), 1);
  int result = run();
  std::error_code ignored;
  std::filesystem::remove_all(registry, ignored);
  std::filesystem::remove_all(runtime, ignored);
  return result;
}

namespace {

int run() {
  PollingServiceRun service(kInterval, 100);
  if (!service.install()) {
    std::fprintf(stderr, "the service did not start\n");
    return 1;
  }
  pid_t pid = service.servicePid();
  long idleRss = statusKilobytes(pid, "VmRSS");
  Measurement idle = measure(service, pid, false);

  std::vector<std::unique_ptr<SimulatedAgent>> agents;
  for (int i = 0; i < kAgents; ++i) {
    agents.push_back(std::make_unique<SimulatedAgent>());
    if (!agents.back()->start({"--community", "vulpes"})) {
      std::fprintf(stderr, "agent %d did not start\n", i);
      return 1;
    }
    service.console({"-a127.0.0.1:" + std::to_string(agents.back()->port())});
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));  // every agent polled at least once
  Measurement busy = measure(service, pid, true);
  long rss = statusKilobytes(pid, "VmRSS");
  long peak = statusKilobytes(pid, "VmHWM");

  std::printf("pollhost polling %d agents every %u ms, measured over %lld s\n", kAgents, kInterval,
              static_cast<long long>(kWindow.count()));
  std::printf("  poll rounds completed:      %.1f\n", busy.rounds);
  std::printf("  CPU time per poll round:    %.3f ms (idle service: %.3f ms per second)\n",
              busy.rounds > 0 ? 1000 * busy.cpu / busy.rounds : 0.0, 1000 * idle.cpu / kWindow.count());
  std::printf("  CPU time per agent polled:  %.1f us\n",
              busy.rounds > 0 ? 1e6 * busy.cpu / (busy.rounds * kAgents) : 0.0);
  std::printf("  resident memory:            %ld kB with %d agents (%ld kB idle, peak %ld kB)\n", rss, kAgents,
              idleRss, peak);
  return 0;
}

}  // namespace
