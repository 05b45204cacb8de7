// The ICMP handles: a socket each, and the table that tells a handle from
// anything else.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

namespace platform::icmp {

struct IcmpSocket {
  int descriptor = -1;
  // A datagram socket: the system fills in the identifier, checks the
  // checksum and hands over only the ICMP part of our own replies. A raw
  // socket sees every ICMP datagram with its IP header.
  bool datagram = false;
  uint16_t identifier = 0;
  uint16_t sequence = 0;
};

// The socket of a live handle, or null.
IcmpSocket* socketOf(HANDLE handle);

}  // namespace platform::icmp
