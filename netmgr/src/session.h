// Sessions: an application's endpoint in the library. A session owns a
// UDP socket bound to a local port of its own, a lock, the queues of what
// waits for the application, and the way the application is told.
#pragma once

#include "handles.h"
#include "platform/sync.h"
#include "winsnmp.h"

#include <atomic>

class CDatagramSocket;
class CPtrList;

namespace netmgr {

// Notifications whose post failed, waiting for the timer thread to post
// them again.
struct PostRetry {
  std::atomic<uint32_t> unposted{0};
  std::atomic<bool> scheduled{false};  // a retry entry is in the timer list
  std::atomic<uint64_t> giveUpAt{0};   // tick count
};

struct Session {
  ObjectHeader header;
  std::atomic<uint32_t> lastError{0};
  // Every change of the queues and every encode or decode runs under it.
  CRITICAL_SECTION lock;
  uint32_t notificationMode = 0;    // SNMPAPI_NOTIFY_*
  ULONG_PTR notificationTarget = 0; // window (mode 1) or thread id (mode 2)
  UINT notificationMessage = 0;
  CDatagramSocket* socket = nullptr;  // modes 1, 2 and 4
  uint16_t localPort = 0;
  // The local IPv4 address text: the destination entity of what the
  // session decodes.
  char localAddress[21] = "127.0.0.1";
  // Registered for notifications (SnmpRegister); read by the trap catcher.
  std::atomic<bool> registered{false};
  // Owns an SNMPv2c entity, so accepts messages of version 1; an SNMPv1
  // session refuses them as it always did.
  std::atomic<bool> speaksV2c{false};
  CPtrList* received = nullptr;       // ReceivedDatagram records, oldest first
  CPtrList* notifications = nullptr;  // PendingNotification records
  CPtrList* timedOut = nullptr;       // OutstandingRequest records
  PostRetry postRetry;
};

// A datagram as it arrived, waiting for SnmpRecvMsg to decode it.
struct ReceivedDatagram {
  uint8_t* octets;
  uint16_t length;
  uint8_t sender[16];  // the sender's socket address as the transport gave it
};

struct DecodedMessage;

// A notification ready for the application: handles owned by the session.
struct PendingNotification {
  HSNMP_ENTITY source;
  HSNMP_ENTITY destination;
  HSNMP_CONTEXT context;
  HSNMP_PDU pdu;
};

// Creates and registers a session of the given notification mode; modes
// 1, 2 and 4 get a socket on the next free local port from 2000. Null on
// failure, with the reason in `error` (2, or 102 when no port is free).
Session* createSession(uint32_t mode, ULONG_PTR target, UINT message, uint32_t& error);
inline Session* createSession(uint32_t mode, ULONG_PTR target, UINT message) {
  uint32_t error = 0;
  return createSession(mode, target, message, error);
}
// Closes a session: it leaves its table at once, its socket stops, and
// everything still queued is released with it. False when it was not live.
bool destroySession(Session* session);

void releaseReceived(ReceivedDatagram* record);
// Releases the item and the objects it still holds, whether or not their
// session is still open.
void releaseNotification(PendingNotification* item);
// Appends a notification made of the decoded objects (owned by the
// session) to its queue and tells the application. Returns 0, or 2 when
// memory runs out; the objects are then released.
[[nodiscard]] uint32_t queueNotification(Session& session, DecodedMessage& decoded);

// Tells the application that one more item is queued (window or thread
// message, by mode). A failing post is retried from the timer thread for
// about ten seconds; the caller never waits for it.
void notifyApplication(Session& session);
// Closing: withdraws the retries still pending. Called once nothing can
// notify for the session any more.
void forgetUnpostedNotifications(Session& session);

}  // namespace netmgr
