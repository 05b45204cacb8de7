// This computer's address, the default agent address of a trap.
#pragma once

#include <string>

namespace alertcast {

// The first IPv4 address of this computer's name that is not a loopback
// address; else the address this computer would send from to the
// Internet; else 127.0.0.1. Dotted.
std::string localAddress();

}  // namespace alertcast
