// Outstanding requests arrive with sessions and their timer; until then
// no request is ever outstanding, so there is nothing to end.
#include "request_matching.h"

namespace netmgr {

void endOutstandingRequest(smiINT32) {}

}  // namespace netmgr
