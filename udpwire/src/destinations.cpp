// Port and host look-ups.
#include "destinations.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netdb.h>

namespace udpwire {
namespace {

// The Windows Sockets numbers for a failed look-up; they have no POSIX
// errno of their own.
constexpr int kHostNotFound = 11001;
constexpr int kServiceNotFound = 10109;

}  // namespace

int resolvePort(const char* service, in_port_t* port, int* error) noexcept {
  if (!service) {
    *error = kServiceNotFound;
    return 2;
  }
  long number = std::strtol(service, nullptr, 10);
  if (number < 0 || number > 65535) return 3;
  if (number > 0) {
    *port = htons(static_cast<uint16_t>(number));
    return 0;
  }
  servent entry{};
  servent* found = nullptr;
  char buffer[1024];
  if (getservbyname_r(service, "udp", &entry, buffer, sizeof buffer, &found) != 0 || !found) {
    *error = kServiceNotFound;
    return 2;
  }
  *port = static_cast<in_port_t>(found->s_port);
  return 0;
}

int resolveHost(const char* host, in_addr* address, int* error) noexcept {
  if (!host) {
    *error = kHostNotFound;
    return 2;
  }
  if (inet_pton(AF_INET, host, address) == 1) return 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) {
    *error = kHostNotFound;
    return 2;
  }
  *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return 0;
}

}  // namespace udpwire
