// Turning service and host texts into a port and an IPv4 address. Both
// use the re-entrant look-ups, so sockets may be written from any thread.
#pragma once

#include <netinet/in.h>

namespace udpwire {

// Results follow the member convention: 0 found; 2 unknown name (*error
// holds the reason); 3 a number outside 1..65535.
// A service is read as a decimal number first, then looked up for "udp".
int resolvePort(const char* service, in_port_t* port, int* error) noexcept;
// A dotted address, or else the first IPv4 address of the host name.
int resolveHost(const char* host, in_addr* address, int* error) noexcept;

}  // namespace udpwire
