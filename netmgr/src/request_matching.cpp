// Response matching.
#include "request_matching.h"

#include "entity.h"
#include "outstanding_request.h"
#include "timer_service.h"

namespace netmgr {

Withdrawal endOutstandingRequest(Session& session, smiINT32 requestId, SnmpVersion version) {
  Withdrawn withdrawn{};
  Withdrawal found = timers().withdrawRequest(&session, requestId, static_cast<uint8_t>(version), withdrawn);
  if (found != Withdrawal::withdrawn) return found;
  auto* request = static_cast<OutstandingRequest*>(withdrawn.argument);
  auto* destination = reinterpret_cast<Entity*>(findLive(ObjectKind::entity, request->destination));
  if (destination && destination->header.serial == request->destinationSerial) {
    // Measured against what the request was sent with, not the entity's
    // settings now (they may have changed meanwhile).
    uint32_t retries = static_cast<uint32_t>(request->retriesGranted - request->retriesLeft);
    destination->actualRetry = retries;
    destination->actualTimeout =
        static_cast<uint32_t>(uint64_t{retries} * request->timeout + withdrawn.elapsedMilliseconds);
  }
  releaseRequest(request);
  return found;
}

}  // namespace netmgr
