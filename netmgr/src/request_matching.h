// The seam between the decoder and the outstanding requests: every message
// decoded successfully for a session, whichever path decoded it, answers
// that session's outstanding request with its request id.
#pragma once

#include "winsnmp.h"

namespace netmgr {

struct Session;

// Ends the session's outstanding request with this request id, if there is
// one, and records the destination entity's actual retry and timeout.
// Called with the session's lock held (the timer lock is taken inside,
// never the other way round). Requests of other sessions are never touched:
// programs number their requests 1, 2, 3 ... each.
void endOutstandingRequest(Session& session, smiINT32 requestId);

}  // namespace netmgr
