// net-snmp's snmptrapd as a test peer: in the foreground on a free
// loopback port, taking every community, logging each trap as one line:
//   TRAP generic=<n> specific=<n> enterprise=<oid> agent=<address>
//   uptime=<ticks> bindings=|<binding>|<binding>...
// with numeric OIDs and time ticks.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>

class NetSnmpTrapReceiver {
 public:
  ~NetSnmpTrapReceiver();
  // False when snmptrapd is missing or did not start.
  bool start();
  uint16_t port() const { return port_; }
  // The next trap line; empty when none came within a generous time.
  std::string nextTrap();

 private:
  BackgroundProcess process_;
  std::string folder_;
  uint16_t port_ = 0;
};

// A line's field ("generic", "agent", ...) up to the next blank; the
// bindings field runs to the end of the line.
std::string trapField(const std::string& line, const std::string& name);
