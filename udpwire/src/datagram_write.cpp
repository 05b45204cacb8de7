// Sending datagrams: at once on the writing thread, or queued for the
// writer thread while the socket cannot take them.
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

// A datagram goes out at once, on the caller's thread, when nothing is
// queued before it; only one the socket cannot take now (or one behind
// such) is queued for the writer thread, which sends it once the socket
// drains. The send lock keeps the two in order: no datagram overtakes a
// queued one.
int CDatagramSocket::Write(int length, void* data, sockaddr_in* to) {
  if (length <= 0 || length > udpwire::kLargestDatagram || !data || !to) return 3;
  if (m_entry.socket == INVALID_SOCKET) return 3;
  void* copy = udpwire::blockAllocate(static_cast<size_t>(length));
  if (!copy || !m_writeQueue) {
    udpwire::blockRelease(copy);
    return 1;
  }
  std::memcpy(copy, data, static_cast<size_t>(length));
  SendOutcome outcome = SendOutcome::later;
  {
    platform::CriticalSectionGuard guard(m_sendLock);
    if (m_writeQueue->IsEmpty()) outcome = sendNow(copy, static_cast<uint16_t>(length), *to);
    if (outcome == SendOutcome::later) return queueForWriter(copy, static_cast<uint16_t>(length), *to);
  }
  reportSend(copy, outcome == SendOutcome::sent);
  return 0;
}

CDatagramSocket::SendOutcome CDatagramSocket::sendNow(void* data, uint16_t length, const sockaddr_in& to) {
  ssize_t sent = sendto(m_entry.socket, data, length, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
  if (sent < 0 && (wouldBlock(errno) || isSocketGone(errno))) return SendOutcome::later;
  return sent == length ? SendOutcome::sent : SendOutcome::failed;
}

// Under the send lock. 1 when memory runs out (nothing is queued then).
int CDatagramSocket::queueForWriter(void* data, uint16_t length, const sockaddr_in& to) {
  auto* request = static_cast<udpwire::WriteRequest*>(udpwire::blockAllocate(sizeof(udpwire::WriteRequest)));
  if (request) *request = udpwire::WriteRequest{this, data, length, to};
  if (!request || !m_writeQueue->AddTail(request)) {
    udpwire::blockRelease(request);
    udpwire::blockRelease(data);
    return 1;
  }
  SetEvent(m_entry.event);
  return 0;
}

// The callback may keep the buffer, write again or destroy the socket.
void CDatagramSocket::reportSend(void* data, bool whole) {
  DatagramBufferCallback callback = whole ? OnSent : OnSendFailed;
  if (!callback || !callback(m_user, data)) udpwire::blockRelease(data);
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
  void* data = nullptr;
  bool whole = false;
  {
    platform::CriticalSectionGuard guard(m_sendLock);
    auto* request = static_cast<udpwire::WriteRequest*>(m_writeQueue->GetHead());
    if (!request) return true;
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
    data = request->data;
    whole = sent == request->length;
    udpwire::blockRelease(request);
  }
  reportSend(data, whole);
  return true;
}
