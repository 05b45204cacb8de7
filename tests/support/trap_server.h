// The trap server program as a test peer: notifyd on a free loopback port,
// stopped with everything it logged.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>

class TrapServer {
 public:
  // Starts notifyd on a free port of 127.0.0.1; false when it did not
  // report that it receives within a generous time.
  bool start();
  uint16_t port() const { return port_; }
  // Waits for a line of its log that holds `text`; empty when none came.
  std::string waitForLog(const std::string& text);
  // Stops it (SIGTERM) and returns its log.
  std::string stop();

 private:
  BackgroundProcess process_;
  uint16_t port_ = 0;
};

// Sends one datagram from a fresh socket to 127.0.0.1:`port`.
bool sendDatagram(uint16_t port, const std::string& octets);
