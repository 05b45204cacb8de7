// The messages net-snmp's command-line tools send, by fixture name: each
// tool is pointed at a loopback port nobody answers, with one try and a
// short timeout, so it sends exactly one datagram and gives up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ToolRequest {
  std::string fixture;  // file name under fixtures/, without ".bin"
  std::vector<std::string> arguments;
};

std::vector<ToolRequest> netSnmpRequests();
// The arguments with "PORT" replaced by the port.
std::vector<std::string> pointedAt(const ToolRequest& request, uint16_t port);
