// The agent simulator as a test peer: started on a free loopback port with
// the options a test needs, stopped with the counts of what it saw.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>
#include <vector>

// Waits for the line "... ready on 127.0.0.1:PORT" that the simulator and
// the crafted responder print when they listen; the port, or 0 when the
// line did not come within a few seconds.
uint16_t waitForReadyPort(BackgroundProcess& process);

class SimulatedAgent {
 public:
  // Starts simagent with `options` on a free port of 127.0.0.1; false
  // when it did not report ready within a few seconds. With
  // `logRequests` it prints a line per datagram for waitForRequests (keep
  // to tests that send few: nothing reads the log while the test runs).
  bool start(const std::vector<std::string>& options = {}, bool logRequests = false);
  uint16_t port() const { return port_; }
  // Waits until the agent has received `count` datagrams since it started
  // (needs `logRequests`); false when the time ran out first.
  bool waitForRequests(long count, std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // Stops the agent; its request count (datagrams received, including
  // those still waiting at the stop), or -1.
  long stopAndCountRequests();

 private:
  BackgroundProcess process_;
  uint16_t port_ = 0;
  long requestsSeen_ = 0;
};
