// The start-up frame the console programs share: the hidden notification
// window of the WinSNMP session, and the start of the sockets layer and of
// WinSNMP with the module version block when it is asked for.
#pragma once

#include "platform/messages.h"

namespace consoleformat {

// A hidden window of the class "Orvane_agentprobe_NOTIFICATION_CLASS"
// handled by `procedure`. Null, after the lines that say so are printed,
// when it cannot be made.
HWND createNotificationWindow(WNDPROC procedure);
// Destroys the window and unregisters its class.
void destroyNotificationWindow(HWND window);
// Starts Windows Sockets 1.1 and WinSNMP, and prints the version block
// when `printVersion` says so.
void startWinSnmp(bool printVersion);

}  // namespace consoleformat
