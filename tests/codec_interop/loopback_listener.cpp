#include "loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackListener::LoopbackListener() {
  socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (socket_ < 0) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(socket_);
    socket_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
  if (socket_ >= 0) ::close(socket_);
}

std::optional<std::vector<uint8_t>> LoopbackListener::receive(int timeoutMs) {
  pollfd waiting{socket_, POLLIN, 0};
  if (socket_ < 0 || ::poll(&waiting, 1, timeoutMs) != 1) return std::nullopt;
  std::vector<uint8_t> datagram(65535);
  ssize_t received = ::recv(socket_, datagram.data(), datagram.size(), 0);
  if (received < 0) return std::nullopt;
  datagram.resize(static_cast<size_t>(received));
  return datagram;
}
