// The seam between the decoder and the outstanding requests of the
// session layer: every message decoded successfully, whichever path
// decoded it, answers the outstanding request with its request id.
#pragma once

#include "winsnmp.h"

namespace netmgr {

// Ends the outstanding request with this request id, if there is one, and
// records the destination entity's actual retry and timeout. Does nothing
// while no request is outstanding. Called with the decoding session's lock
// held, so the timer lock may be taken inside but never the other way
// round.
void endOutstandingRequest(smiINT32 requestId);

}  // namespace netmgr
