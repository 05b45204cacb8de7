// Lines for a developer on standard error, written while the debug level
// (OvSnmpDebugSetLevel) is above 0.
#pragma once

namespace netmgr {

[[gnu::format(printf, 1, 2)]] void debugLine(const char* format, ...);

}  // namespace netmgr
