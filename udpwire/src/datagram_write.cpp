// Queuing datagrams (any thread) and sending them (the writer thread).
#include "block_heap.h"
#include "destinations.h"
#include "socket_engine.h"
#include "udpwire/datagram_socket.h"
#include "udpwire/ptr_list.h"
#include "write_request.h"

#include <cerrno>
#include <cstring>

namespace {

// The socket was closed or replaced under the engine: the rescan that
// change queued deals with it.
bool isSocketGone(int error) { return error == EBADF || error == ENOTSOCK; }

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

int CDatagramSocket::Write(int length, void* data, sockaddr_in* to) {
  if (length <= 0 || length > udpwire::kLargestDatagram || !data || !to) return 3;
  if (m_entry.socket == INVALID_SOCKET) return 3;
  auto* request = static_cast<udpwire::WriteRequest*>(udpwire::blockAllocate(sizeof(udpwire::WriteRequest)));
  void* copy = udpwire::blockAllocate(static_cast<size_t>(length));
  if (!request || !copy || !m_writeQueue) {
    udpwire::blockRelease(request);
    udpwire::blockRelease(copy);
    return 1;
  }
  std::memcpy(copy, data, static_cast<size_t>(length));
  *request = udpwire::WriteRequest{this, copy, static_cast<uint16_t>(length), *to};
  if (!m_writeQueue->AddTail(request)) {
    udpwire::blockRelease(request);
    udpwire::blockRelease(copy);
    return 1;
  }
  SetEvent(m_entry.event);
  return 0;
}

int CDatagramSocket::Write(int length, void* data, const char* host, const char* service) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  int error = 0;
  int result = udpwire::resolvePort(service, &to.sin_port, &error);
  if (result == 0) result = udpwire::resolveHost(host, &to.sin_addr, &error);
  if (result == 2) m_error = error;
  return result ? result : Write(length, data, &to);
}

// As the text form with the port's decimal digits, without writing and
// reading them back.
int CDatagramSocket::Write(int length, void* data, const char* host, int port) {
  if (port <= 0 || port > 65535) return 3;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  int error = 0;
  int result = udpwire::resolveHost(host, &to.sin_addr, &error);
  if (result == 2) m_error = error;
  return result ? result : Write(length, data, &to);
}

// The request leaves the queue before the callback runs, so a callback may
// write again or even destroy the socket. The send itself tells whether
// the socket can take the datagram now (it does not block), so no poll
// asks first.
bool CDatagramSocket::HandleWrite() {
  if (!m_writeQueue || m_writeQueue->IsEmpty()) return true;
  auto* request = static_cast<udpwire::WriteRequest*>(m_writeQueue->GetHead());
  ssize_t sent = sendto(m_entry.socket, request->data, request->length, MSG_DONTWAIT,
                        reinterpret_cast<const sockaddr*>(&request->to), sizeof request->to);
  if (sent < 0 && isSocketGone(errno)) return false;
  if (sent < 0 && wouldBlock(errno)) {
    SetEvent(m_entry.event);  // not writable now: keep it queued, retry after a pause
    m_engine->requestBackOff();
    return true;
  }
  m_writeQueue->RemoveHead();
  if (!m_writeQueue->IsEmpty()) SetEvent(m_entry.event);
  void* data = request->data;
  bool whole = sent == request->length;
  udpwire::blockRelease(request);
  DatagramBufferCallback callback = whole ? OnSent : OnSendFailed;
  if (!callback || !callback(m_user, data)) udpwire::blockRelease(data);
  return true;
}
