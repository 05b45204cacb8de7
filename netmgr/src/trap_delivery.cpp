// Fan-out of received traps. Each registered session gets the message
// converted for itself, so every object of its notification is its own:
// nothing is converted against a session of the catcher's, and no extra
// UDP port is taken.
#include "trap_delivery.h"

#include "codec.h"
#include "handles.h"
#include "session.h"
#include "trap_catcher.h"

#include <mutex>
#include <vector>

namespace netmgr {
namespace {

// Held for the whole of one delivery; see waitForTrapDeliveries.
std::mutex deliveryLock;

// The notification a received message becomes for one session: an
// SNMPv1 trap takes the SNMPv2 notification form; an SNMPv2c trap or
// inform is delivered as it is (the trap server has answered the inform).
uint32_t notificationFor(Session& session, const in_addr& sender, const uint8_t* message, size_t length,
                         SnmpVersion version, DecodedMessage& notification) {
  if (version == SnmpVersion::v2c) return decodeV2Notification(session, sender, message, length, notification);
  return convertV1Trap(session, sender, message, length, notification);
}

}  // namespace

void deliverTrap(const in_addr& sender, const uint8_t* message, size_t length) {
  SnmpVersion version = SnmpVersion::v1;
  if (messageVersion(message, length, version) != 0) return;  // malformed: dropped
  std::lock_guard guard(deliveryLock);
  std::vector<ObjectHeader*> sessions;
  if (snapshotLive(ObjectKind::session, sessions) != 0) return;  // out of memory: the trap is lost
  for (ObjectHeader* object : sessions) {
    auto* session = reinterpret_cast<Session*>(object);
    // A session closed since the snapshot was taken waits for this
    // delivery before it is released, so it may still be looked at.
    if (!isLiveSession(session) || !session->registered.load()) continue;
    DecodedMessage notification;
    if (notificationFor(*session, sender, message, length, version, notification) != 0) continue;
    // Out of memory: this session misses the trap; the others still get it.
    static_cast<void>(queueNotification(*session, notification));
  }
}

void waitForTrapDeliveries() { std::lock_guard guard(deliveryLock); }

}  // namespace netmgr
