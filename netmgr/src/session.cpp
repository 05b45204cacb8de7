// Session objects: opening with a socket on a local port of their own,
// closing, and telling the application that something is queued.
#include "session.h"

#include "codec.h"
#include "library.h"
#include "outstanding_request.h"
#include "timer_service.h"
#include "trap_catcher.h"

#include "platform/heap.h"
#include "platform/messages.h"
#include "udpwire/datagram_socket.h"
#include "udpwire/ptr_list.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <netdb.h>
#include <unistd.h>

namespace netmgr {
namespace {

constexpr int kFirstPort = 2000;
constexpr int kPortsTried = 1000;

// Counts every bind attempt of the process, so later sessions start their
// search after the ports earlier ones took.
std::atomic<int> portAttempts{0};

// Records of the queues.
platform::CountedHeap queueHeap;

int WINAPI ignoreBuffer(void*, void*) { return 0; }
int WINAPI ignoreError(void*) { return 0; }

}  // namespace

void releaseReceived(ReceivedDatagram* record) {
  queueHeap.release(record->octets);
  queueHeap.dispose(record);
}

void releaseNotification(PendingNotification* item) {
  DecodedMessage held{static_cast<Entity*>(item->source), static_cast<Entity*>(item->destination),
                      static_cast<Context*>(item->context), static_cast<Pdu*>(item->pdu)};
  releaseDecoded(held);
  queueHeap.dispose(item);
}

uint32_t queueNotification(Session& session, DecodedMessage& decoded) {
  auto* item = queueHeap.make<PendingNotification>();
  if (!item) {
    releaseDecoded(decoded);
    return SNMPAPI_ALLOC_ERROR;
  }
  *item = {decoded.source, decoded.destination, decoded.context, decoded.pdu};
  decoded = {};
  {
    platform::CriticalSectionGuard guard(session.lock);
    if (!session.notifications || !session.notifications->AddTail(item)) {
      releaseNotification(item);
      return SNMPAPI_ALLOC_ERROR;
    }
  }
  notifyApplication(session);
  return 0;
}

namespace {

// The transport's reader thread hands every datagram here. The
// application is told after the session's lock is left: the thread it
// wakes goes for that lock at once (SnmpRecvMsg). The session outlives
// this call, since closing it deletes its socket, which waits for the
// transport's lock that the reader holds around every callback.
int WINAPI receiveDatagram(void* user, void* data, unsigned long length, sockaddr_in* sender) {
  auto* session = static_cast<Session*>(user);
  if (!isLiveSession(session) || length > 0xFFFF) return 0;
  auto* record = queueHeap.make<ReceivedDatagram>();
  auto* octets = record ? static_cast<uint8_t*>(queueHeap.allocate(length)) : nullptr;
  if (!octets) {  // out of memory (or an empty datagram): it is dropped
    queueHeap.dispose(record);
    return 0;
  }
  std::memcpy(octets, data, length);
  record->octets = octets;
  record->length = static_cast<uint16_t>(length);
  std::memcpy(record->sender, sender, sizeof record->sender);
  {
    platform::CriticalSectionGuard guard(session->lock);
    if (!session->received || !session->received->AddTail(record)) {
      releaseReceived(record);
      return 0;
    }
  }
  notifyApplication(*session);
  return 0;
}

// Binds the socket to the next free port from 2000; 0 when none of the
// ports tried is free.
uint16_t bindNextFreePort(CDatagramSocket& socket) {
  for (int tries = 0; tries < kPortsTried; ++tries) {
    int port = kFirstPort + portAttempts.fetch_add(1) % (65536 - kFirstPort);
    if (socket.CreateSocket(port) == 0) return static_cast<uint16_t>(port);
  }
  return 0;
}

// The text of the local host's first IPv4 address, if it resolves.
void findLocalAddress(char (&address)[21]) {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return;
  inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, address, sizeof address);
  freeaddrinfo(found);
}


// Items still queued when a session closes are released with it.
template <class Item>
void releaseQueue(CPtrList*& queue, void (*release)(Item*)) {
  if (!queue) return;
  while (void* item = queue->RemoveHead()) release(static_cast<Item*>(item));
  delete queue;
  queue = nullptr;
}

void releaseParts(Session* session) {
  if (session->socket) {
    session->socket->DestroySocket();
    delete session->socket;
    session->socket = nullptr;
  }
  releaseQueue<ReceivedDatagram>(session->received, releaseReceived);
  releaseQueue<PendingNotification>(session->notifications, releaseNotification);
  releaseQueue<OutstandingRequest>(session->timedOut, releaseRequest);
}

// The thread the application is told on receives the session's answers
// itself while it waits for messages, so an answer reaches it without a
// hand-over from the transport's reader. Without a queue yet (or on a
// carried window's thread) the reader keeps receiving for it.
void receiveOnNotifiedThread(Session& session) {
  DWORD thread = 0;
  if (session.notificationMode == SNMPAPI_NOTIFY_THREAD) thread = static_cast<DWORD>(session.notificationTarget);
  if (session.notificationMode == SNMPAPI_NOTIFY_WINDOW)
    thread = GetWindowThreadProcessId(reinterpret_cast<HWND>(session.notificationTarget), nullptr);
  if (thread) session.socket->ReceiveOnThread(thread);
}

// The socket, its callbacks and its port. 0 or the error code.
[[nodiscard]] uint32_t openSocket(Session& session) {
  session.socket = new CDatagramSocket(&session, reinterpret_cast<void*>(session.notificationTarget),
                                       session.notificationMessage);
  if (!session.socket) return SNMPAPI_ALLOC_ERROR;
  session.socket->OnReceived = receiveDatagram;
  session.socket->OnSent = ignoreBuffer;
  session.socket->OnSendFailed = ignoreBuffer;
  session.socket->OnReceiveError = ignoreError;
  session.localPort = bindNextFreePort(*session.socket);
  if (!session.localPort) return SNMPAPI_TL_NOT_AVAILABLE;
  receiveOnNotifiedThread(session);
  return 0;
}

// The queues come before the socket: a datagram may arrive as soon as the
// socket exists. The socket is made without the session's lock, which its
// callbacks take under the transport's lock.
[[nodiscard]] uint32_t openParts(Session& session) {
  {
    platform::CriticalSectionGuard guard(session.lock);
    session.received = new CPtrList(&session);
    session.notifications = new CPtrList(&session);
    session.timedOut = new CPtrList(&session);
    if (!session.received || !session.notifications || !session.timedOut) return SNMPAPI_ALLOC_ERROR;
  }
  if (session.notificationMode != SNMPAPI_NOTIFY_TRAP_SERVICE) {
    if (uint32_t error = openSocket(session)) return error;
  }
  platform::CriticalSectionGuard guard(session.lock);
  findLocalAddress(session.localAddress);
  return 0;
}

}  // namespace

Session* createSession(uint32_t mode, ULONG_PTR target, UINT message, uint32_t& error) {
  auto* session = heapOf(ObjectKind::session).make<Session>();
  error = SNMPAPI_ALLOC_ERROR;
  if (!session) return nullptr;
  session->header.session = session;
  session->header.serial = nextSerial();
  session->notificationMode = mode;
  session->notificationTarget = target;
  session->notificationMessage = message;
  InitializeCriticalSection(&session->lock);
  if (registerObject(ObjectKind::session, &session->header) != 0) {
    DeleteCriticalSection(&session->lock);
    heapOf(ObjectKind::session).dispose(session);
    return nullptr;
  }
  error = openParts(*session);
  if (error) {
    destroySession(session);
    return nullptr;
  }
  return session;
}

bool destroySession(Session* session) {
  {
    platform::CriticalSectionGuard guard(session->lock);
    if (!retireObject(ObjectKind::session, &session->header)) return false;
  }
  // Callbacks that found the session live before it left its table finish
  // first: the timer's and the trap catcher's here, the transport's inside
  // DestroySocket (which must not run under the session's lock, which they
  // take).
  waitForRunningCallbacks();
  waitForTrapDeliveries();
  releaseParts(session);
  forgetUnpostedNotifications(*session);
  DeleteCriticalSection(&session->lock);
  heapOf(ObjectKind::session).dispose(session);
  return true;
}

}  // namespace netmgr
