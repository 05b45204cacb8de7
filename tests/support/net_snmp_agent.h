// net-snmp's agent as a test peer: started in a private folder with its
// own configuration on a free loopback port, in the foreground, and
// stopped by its process id.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>
#include <vector>

class NetSnmpAgent {
 public:
  ~NetSnmpAgent();
  // Communities "public" (read-only) and "private" (read-write) over the
  // whole tree except the tables that change with every socket and
  // process on the machine (so that two walks can be compared); sysContact
  // stays writable; `readCommunities` are read-only ones besides. False
  // when snmpd is missing or did not start.
  bool start(const std::vector<std::string>& readCommunities = {});
  uint16_t port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  BackgroundProcess process_;
  std::string folder_;
  uint16_t port_ = 0;
};

// A UDP port of 127.0.0.1 that was free a moment ago.
uint16_t freeLoopbackPort();
