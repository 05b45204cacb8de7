// Running the agent simulator for tests.
#include "simulated_agent.h"

#include <cstdlib>

uint16_t waitForReadyPort(BackgroundProcess& process) {
  std::string ready = process.waitForLine("ready on 127.0.0.1:", std::chrono::seconds(10));
  size_t colon = ready.find("127.0.0.1:");
  return colon == std::string::npos ? 0 : static_cast<uint16_t>(std::atoi(ready.c_str() + colon + 10));
}

bool SimulatedAgent::start(const std::vector<std::string>& options, bool logRequests) {
  std::vector<std::string> arguments{ORVANE_SIMAGENT_PATH, "--port", "0"};
  if (logRequests) arguments.push_back("--verbose");
  arguments.insert(arguments.end(), options.begin(), options.end());
  if (!process_.start(arguments)) return false;
  port_ = waitForReadyPort(process_);
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
