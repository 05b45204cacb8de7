// Sending the one trap through netmgr.
#pragma once

#include "trap_contents.h"
#include "trap_settings.h"

#include "platform/messages.h"

#include <cstdint>

namespace alertcast {

constexpr UINT kNotificationMessage = 1025;

enum class SendOutcome { sent, noSession, refused };

// Opens a session on `window`, builds the trap from the settings and the
// contents and hands it to netmgr. `refused`: netmgr would not take it;
// `error` then holds its error code. The session stays open until
// SnmpCleanup: the trap is written after this returns.
SendOutcome sendTrap(HWND window, const Settings& settings, const TrapContents& contents, uint32_t& error);

}  // namespace alertcast
