// The trap catcher: one per process. Traps come from the trap server
// program as records in copy-data messages to the catcher window, which
// lives on the thread that first called SnmpRegister (that thread must
// dispatch messages). The window only copies each record onto the record
// list; the "SNMP Trap Catching Thread" converts each into a notification
// and hands a copy to every registered session.
#pragma once

#include <cstdint>

namespace netmgr {

// At SnmpStartup: the catcher, not yet started. False when memory runs out.
[[nodiscard]] bool createTrapCatcher();
// At the first SnmpRegister, on the registering thread: chooses the way
// traps come, joins the trap server and starts the catching thread.
// Returns 0 (also when it runs already) or 102; it may be tried again.
[[nodiscard]] uint32_t startTrapCatcher();
// At SnmpCleanup: stops the thread, leaves the server, removes the window
// and deletes the catcher.
void deleteTrapCatcher();

// A session being closed calls this after leaving its table: a delivery
// that found it registered has finished when it returns.
void waitForTrapDeliveries();

}  // namespace netmgr
