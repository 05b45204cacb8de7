// Delivering a received trap: a notification of its own for every live
// registered session, in session-table order, appended to its queue.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>

namespace netmgr {

// Sessions for which the message does not convert (malformed, or memory
// ran out) miss it; the others get it. Runs on the catching thread.
void deliverTrap(const in_addr& sender, const uint8_t* message, size_t length);

}  // namespace netmgr
