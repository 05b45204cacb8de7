// Opening and closing ICMP handles. The datagram kind needs no privilege
// where net.ipv4.ping_group_range includes the user's group; the raw kind
// needs CAP_NET_RAW. Either serves the same echo.
#include "platform/icmp.h"

#include "icmp_socket.h"

#include "platform/errors.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>

namespace platform::icmp {
namespace {

std::mutex tableLock;
std::set<IcmpSocket*>& liveSockets() {
  static std::set<IcmpSocket*> sockets;
  return sockets;
}

// Raw sockets see every process's echo replies; the identifier tells ours.
uint16_t nextIdentifier() {
  static std::atomic<uint16_t> counter{0};
  return static_cast<uint16_t>(getpid() * 31 + counter.fetch_add(1));
}

}  // namespace

IcmpSocket* socketOf(HANDLE handle) {
  std::lock_guard<std::mutex> hold(tableLock);
  auto* socket = static_cast<IcmpSocket*>(handle);
  return liveSockets().count(socket) ? socket : nullptr;
}

}  // namespace platform::icmp

using platform::icmp::IcmpSocket;

HANDLE IcmpCreateFile() {
  int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  bool datagram = descriptor >= 0;
  int datagramError = errno;
  if (!datagram) descriptor = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (descriptor < 0) {
    // Refused both ways: say so rather than report the raw kind's EPERM.
    bool refused = (datagramError == EACCES || datagramError == EPERM) && (errno == EACCES || errno == EPERM);
    SetLastError(refused ? ERROR_ACCESS_DENIED : platform::errorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  int on = 1;
  // Errors the network reports about our requests (unreachable, too big)
  // come to a datagram socket through its error queue.
  if (datagram) {
    setsockopt(descriptor, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    setsockopt(descriptor, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
  }
  auto* created = new IcmpSocket{descriptor, datagram, platform::icmp::nextIdentifier(), 0};
  std::lock_guard<std::mutex> hold(platform::icmp::tableLock);
  platform::icmp::liveSockets().insert(created);
  return created;
}

BOOL IcmpCloseHandle(HANDLE icmpHandle) {
  IcmpSocket* socket = nullptr;
  {
    std::lock_guard<std::mutex> hold(platform::icmp::tableLock);
    socket = static_cast<IcmpSocket*>(icmpHandle);
    if (!platform::icmp::liveSockets().erase(socket)) socket = nullptr;
  }
  if (!socket) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  close(socket->descriptor);
  delete socket;
  return TRUE;
}
