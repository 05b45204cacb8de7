// Writes datagrams into a capture file that tshark reads: raw IPv4
// packets (link type 101) from 127.0.0.1 to 127.0.0.1, each with its UDP
// ports, so the dissector picks SNMP by port 161 or 162.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CapturedDatagram {
  std::vector<uint8_t> payload;
  uint16_t sourcePort = 0;
  uint16_t destinationPort = 0;
};

// False when the file cannot be written.
bool writePcap(const std::string& path, const std::vector<CapturedDatagram>& datagrams);
