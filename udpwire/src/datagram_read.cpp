// Receiving on the reader thread.
#include "block_heap.h"
#include "udpwire/datagram_socket.h"

#include <cerrno>

namespace {

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

// The amount the reader saw is only a hint: the datagram's real length is
// asked of the socket when it is 0, and a datagram longer than the buffer
// is refused and reported instead of cut short. Every datagram is taken
// off the socket, so none can stall the ones behind it.
bool CDatagramSocket::HandleRead(unsigned long available) {
  char probe;
  if (available == 0) {
    ssize_t length = recv(m_entry.socket, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    if (length < 0) {
      if (!wouldBlock(errno)) reportReceiveError();  // a pending socket error, now cleared
      return true;
    }
    if (length == 0) {  // an empty datagram carries nothing to hand on
      recv(m_entry.socket, &probe, 1, MSG_DONTWAIT);
      return true;
    }
    available = static_cast<unsigned long>(length);
  }
  void* buffer = udpwire::blockAllocate(available);
  if (!buffer) {
    recv(m_entry.socket, &probe, 1, MSG_DONTWAIT);  // dropped, not left to come back
    reportReceiveError();
    return true;
  }
  sockaddr_in sender{};
  socklen_t senderLength = sizeof sender;
  ssize_t received = recvfrom(m_entry.socket, buffer, available, MSG_TRUNC | MSG_DONTWAIT,
                              reinterpret_cast<sockaddr*>(&sender), &senderLength);
  if (received < 0 || static_cast<unsigned long>(received) > available) {
    bool nothingThere = received < 0 && wouldBlock(errno);
    udpwire::blockRelease(buffer);
    if (!nothingThere) reportReceiveError();
    return true;
  }
  deliver(buffer, static_cast<unsigned long>(received), &sender);
  return true;
}

void CDatagramSocket::deliver(void* buffer, unsigned long length, sockaddr_in* sender) {
  if (!OnReceived || !OnReceived(m_user, buffer, length, sender)) udpwire::blockRelease(buffer);
}

void CDatagramSocket::reportReceiveError() {
  if (OnReceiveError) OnReceiveError(m_user);
}
