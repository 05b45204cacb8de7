// Running the crafted responder for tests.
#include "crafted_responder.h"

#include "simulated_agent.h"

bool CraftedResponder::available() {
  return runProgram({"python3", "--version"}, std::chrono::seconds(10)).exitCode == 0;
}

bool CraftedResponder::start(uint16_t agentPort, const Plan& plan) {
  std::vector<std::string> arguments{"python3", ORVANE_CRAFTED_RESPONDER_PATH, "--agent-port",
                                     std::to_string(agentPort), "--decoys", plan.decoys};
  if (!plan.answer) arguments.push_back("--no-answer");
  if (plan.endOfMibView) arguments.push_back("--end-of-mib-view");
  if (!process_.start(arguments)) return false;
  port_ = waitForReadyPort(process_);
  return port_ != 0;
}
