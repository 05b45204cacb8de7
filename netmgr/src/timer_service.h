// The "SNMP Timer Thread" and its list: it wakes in steps of at most
// 100 ms while requests are pending (and for a second after the last one),
// runs the callbacks of entries that fell due, and sleeps without waking
// while nothing is pending.
#pragma once

#include "timer_list.h"
#include "winsnmp.h"

namespace netmgr {

// Started by SnmpStartup, stopped by SnmpCleanup. Returns 0, or 2 when
// the thread cannot be started.
[[nodiscard]] uint32_t startTimerThread();
void stopTimerThread();

TimerList& timers();
// Adds an entry and wakes the thread when the list was empty. Returns 0,
// or 2 when memory runs out.
[[nodiscard]] uint32_t addTimer(uint32_t delay, const TimerTask& task, const void* entityKey, const Session* session,
                            int32_t requestId, uint8_t version);

// Timer callbacks run while the thread holds this lock. A session being
// closed takes and drops it once after leaving its table, so that no
// callback that found it live is still using it afterwards.
void waitForRunningCallbacks();

}  // namespace netmgr
