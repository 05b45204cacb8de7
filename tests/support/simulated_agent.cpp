// Running the agent simulator for tests.
#include "simulated_agent.h"

#include <cstdlib>

bool SimulatedAgent::start(const std::vector<std::string>& options) {
  std::vector<std::string> arguments{ORVANE_SIMAGENT_PATH, "--port", "0"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  if (!process_.start(arguments)) return false;
  std::string ready = process_.waitForLine("ready on 127.0.0.1:", std::chrono::seconds(10));
  size_t colon = ready.find("127.0.0.1:");
  if (colon == std::string::npos) return false;
  port_ = static_cast<uint16_t>(std::atoi(ready.c_str() + colon + 10));
  return port_ != 0;
}

long SimulatedAgent::stopAndCountRequests() {
  std::string printed = process_.stop();
  size_t at = printed.find("stopped after ");
  return at == std::string::npos ? -1 : std::atol(printed.c_str() + at + 14);
}
