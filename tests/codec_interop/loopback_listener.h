// A UDP socket on a free port of 127.0.0.1 that nobody answers from: the
// peer tools send their requests and traps to it, and it keeps what
// arrives.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

class LoopbackListener {
 public:
  // Binds to port 0 of 127.0.0.1, so the system picks a free port.
  LoopbackListener();
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool ready() const { return socket_ >= 0; }
  uint16_t port() const { return port_; }
  // The next datagram, or nothing once `timeoutMs` passes without one.
  std::optional<std::vector<uint8_t>> receive(int timeoutMs);

 private:
  int socket_ = -1;
  uint16_t port_ = 0;
};
