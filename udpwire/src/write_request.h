// One queued datagram, from the block heap.
#pragma once

#include <cstdint>
#include <netinet/in.h>

class CDatagramSocket;

namespace udpwire {

struct WriteRequest {
  CDatagramSocket* owner;
  void* data;       // the library's own copy
  uint16_t length;  // a datagram is at most 65,535 bytes
  sockaddr_in to;
};

}  // namespace udpwire
