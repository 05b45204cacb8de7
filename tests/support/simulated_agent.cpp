// Running the agent simulator for tests.
#include "simulated_agent.h"

#include <cstdlib>

bool SimulatedAgent::start(const std::vector<std::string>& options, bool logRequests) {
  std::vector<std::string> arguments{ORVANE_SIMAGENT_PATH, "--port", "0"};
  if (logRequests) arguments.push_back("--verbose");
  arguments.insert(arguments.end(), options.begin(), options.end());
  if (!process_.start(arguments)) return false;
  std::string ready = process_.waitForLine("ready on 127.0.0.1:", std::chrono::seconds(10));
  size_t colon = ready.find("127.0.0.1:");
  if (colon == std::string::npos) return false;
  port_ = static_cast<uint16_t>(std::atoi(ready.c_str() + colon + 10));
  return port_ != 0;
}

bool SimulatedAgent::waitForRequests(long count, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (requestsSeen_ < count) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    // Every received datagram gets one log line naming its sender.
    if (left.count() <= 0 || process_.waitForLine("simagent: 127.0.0.1:", left).empty()) return false;
    ++requestsSeen_;
  }
  return true;
}

long SimulatedAgent::stopAndCountRequests() {
  std::string printed = process_.stop();
  size_t at = printed.find("stopped after ");
  return at == std::string::npos ? -1 : std::atol(printed.c_str() + at + 14);
}
