// The agent simulator as a test peer: started on a free loopback port with
// the options a test needs, stopped with the counts of what it saw.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>
#include <vector>

class SimulatedAgent {
 public:
  // Starts simagent with `options` on a free port of 127.0.0.1; false
  // when it did not report ready within a few seconds.
  bool start(const std::vector<std::string>& options = {});
  uint16_t port() const { return port_; }
  // Stops the agent; its request count (datagrams received), or -1.
  long stopAndCountRequests();

 private:
  BackgroundProcess process_;
  uint16_t port_ = 0;
};
