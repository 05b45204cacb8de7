// Finding this computer's address with the sockets layer only.
#include "local_address.h"

#include "platform/sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace alertcast {
namespace {

bool isLoopback(const in_addr& address) { return (ntohl(address.s_addr) >> 24) == 127; }

std::string dotted(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

// Many systems map their own name to a loopback address; those are skipped.
std::string addressOfHostName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return "";
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0) return "";
  std::string address;
  for (addrinfo* entry = found; entry && address.empty(); entry = entry->ai_next) {
    const in_addr& candidate = reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr;
    if (!isLoopback(candidate)) address = dotted(candidate);
  }
  freeaddrinfo(found);
  return address;
}

// Connecting a datagram socket sends nothing; it only picks the route and
// with it the source address. 192.0.2.1 is a documentation address.
std::string addressOfDefaultRoute() {
  SOCKET probe = socket(AF_INET, SOCK_DGRAM, 0);
  if (probe == INVALID_SOCKET) return "";
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(9);
  inet_pton(AF_INET, "192.0.2.1", &remote.sin_addr);
  sockaddr_in local{};
  socklen_t size = sizeof local;
  std::string address;
  if (connect(probe, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&local), &size) == 0 && !isLoopback(local.sin_addr) &&
      local.sin_addr.s_addr != 0) {
    address = dotted(local.sin_addr);
  }
  closesocket(probe);
  return address;
}

}  // namespace

std::string localAddress() {
  std::string address = addressOfHostName();
  if (address.empty()) address = addressOfDefaultRoute();
  return address.empty() ? "127.0.0.1" : address;
}

}  // namespace alertcast
