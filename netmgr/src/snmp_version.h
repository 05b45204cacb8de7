// The two message formats the library speaks, by the number each carries
// in its version field. An entity speaks the one it was made for, and a
// message decoded for it keeps the one it arrived in.
#pragma once

#include <cstdint>

namespace netmgr {

enum class SnmpVersion : uint8_t { v1 = 0, v2c = 1 };

}  // namespace netmgr
