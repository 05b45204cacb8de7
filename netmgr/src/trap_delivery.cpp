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

namespace netmgr {
namespace {

// Held for the whole of one delivery; see waitForTrapDeliveries.
std::mutex deliveryLock;

// The notification a received message becomes for one session. Only
// SNMPv1 traps arrive as yet; they take the SNMPv2 notification form.
uint32_t notificationFor(Session& session, const in_addr& sender, const uint8_t* message, size_t length,
                         DecodedMessage& notification) {
  return convertV1Trap(session, sender, message, length, notification);
}

}  // namespace

void deliverTrap(const in_addr& sender, const uint8_t* message, size_t length) {
  std::lock_guard guard(deliveryLock);
  for (ObjectHeader* object : liveObjects(ObjectKind::session)) {
    auto* session = reinterpret_cast<Session*>(object);
    // A session closed since the snapshot was taken waits for this
    // delivery before it is released, so it may still be looked at.
    if (!isLiveSession(session) || !session->registered.load()) continue;
    DecodedMessage notification;
    if (notificationFor(*session, sender, message, length, notification) != 0) continue;
    queueNotification(*session, notification);
  }
}

void waitForTrapDeliveries() { std::lock_guard guard(deliveryLock); }

}  // namespace netmgr
