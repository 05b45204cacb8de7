// The dotted-decimal text of a received datagram's IPv4 sender, which
// every decoded message carries as its source entity's address.
#pragma once

#include <netinet/in.h>

namespace netmgr {

// Room for "255.255.255.255" and its terminator.
constexpr size_t kAddressTextSize = 16;

// Writes the address as inet_ntop does ("10.0.0.1"), without the C
// library's formatted output, which costs more than the rest of a small
// decode.
void formatAddress(const in_addr& address, char (&text)[kAddressTextSize]);

}  // namespace netmgr
