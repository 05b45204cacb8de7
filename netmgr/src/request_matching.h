// The seam between the decoder and the outstanding requests: every message
// decoded successfully for a session, whichever path decoded it, answers
// that session's outstanding request with its request id.
#pragma once

#include "snmp_version.h"
#include "timer_list.h"
#include "winsnmp.h"

namespace netmgr {

struct Session;

// Ends the session's outstanding request with this request id, if there is
// one and it went out in the answer's version, and records the destination
// entity's actual retry and timeout. Says what it found: an answer in
// another version than its request's is no answer to it.
// Called with the session's lock held (the timer lock is taken inside,
// never the other way round). Requests of other sessions are never touched:
// programs number their requests 1, 2, 3 ... each.
[[nodiscard]] Withdrawal endOutstandingRequest(Session& session, smiINT32 requestId, SnmpVersion version);

}  // namespace netmgr
