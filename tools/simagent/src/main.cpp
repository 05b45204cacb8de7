// simagent: an SNMP agent simulator for tests and demonstrations.
#include "agent.h"
#include "options.h"
#include "server.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) { stopRequested.store(true); }

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the log reaches a pipe line by line
  simagent::Options options;
  std::string error;
  if (!simagent::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "simagent: %s\n\n%s", error.c_str(), simagent::usageText());
    return 2;
  }
  if (options.help) {
    std::fputs(simagent::usageText(), stdout);
    return 0;
  }
  simagent::Agent agent(options);
  std::string message;
  if (!agent.ready()) {
    std::fprintf(stderr, "simagent: the SNMP library could not be started\n");
    return 1;
  }
  if (!agent.load(message)) {
    std::fprintf(stderr, "simagent: %s\n", message.c_str());
    return 1;
  }
  if (!message.empty()) std::fprintf(stderr, "simagent: %s\n", message.c_str());

  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
  int status = simagent::serve(agent, options, stopRequested);
  const simagent::Statistics& seen = agent.statistics();
  std::printf("simagent: stopped after %llu requests: %llu answered, %llu dropped, %llu ignored\n",
              static_cast<unsigned long long>(seen.requests), static_cast<unsigned long long>(seen.answered),
              static_cast<unsigned long long>(seen.dropped), static_cast<unsigned long long>(seen.ignored));
  return status;
}
