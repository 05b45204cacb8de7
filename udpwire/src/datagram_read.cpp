// Receiving on the reader thread.
#include "block_heap.h"
#include "udpwire/datagram_socket.h"

#include <cerrno>
#include <cstring>

namespace {

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

// With an amount of 0 the datagram is received whole into a scratch
// buffer of the largest datagram and then copied into a block of its
// length: one system call instead of one to ask its length and one to
// take it.
bool CDatagramSocket::receiveWhole() {
  thread_local char scratch[udpwire::kLargestDatagram];
  sockaddr_in sender{};
  socklen_t senderLength = sizeof sender;
  ssize_t received = recvfrom(m_entry.socket, scratch, sizeof scratch, MSG_DONTWAIT,
                              reinterpret_cast<sockaddr*>(&sender), &senderLength);
  if (received < 0) {
    if (!wouldBlock(errno)) reportReceiveError();  // a pending socket error, now cleared
    return true;
  }
  if (received == 0) return true;  // an empty datagram carries nothing to hand on
  void* buffer = udpwire::blockAllocate(static_cast<size_t>(received));
  if (!buffer) {
    reportReceiveError();  // dropped, not left to come back
    return true;
  }
  std::memcpy(buffer, scratch, static_cast<size_t>(received));
  deliver(buffer, static_cast<unsigned long>(received), &sender);
  return true;
}

// A non-zero amount the reader saw is only a hint: a datagram longer than
// the buffer is refused and reported instead of cut short. Every datagram
// is taken off the socket, so none can stall the ones behind it.
bool CDatagramSocket::HandleRead(unsigned long available) {
  if (available == 0) return receiveWhole();
  char probe;
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
