// CDatagramSocket: construction, creation and destruction of its socket.
#include "udpwire/datagram_socket.h"

#include "block_heap.h"
#include "class_register.h"
#include "destinations.h"
#include "socket_engine.h"
#include "thread_reception.h"
#include "udpwire/ptr_list.h"
#include "write_request.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kLiveSocket = 0x67890123;

}  // namespace

HTREE CDatagramSocket::gc_hTreeCDatagramSocket = nullptr;
UDPWIRE_CLASS_HEAP_DEFINE(CDatagramSocket)

static udpwire::ClassRegister socketRegister() {
  return {CDatagramSocket::gc_hTreeCDatagramSocket, CDatagramSocket::gc_AllocCs,
          CDatagramSocket::gc_uNumAllocsInHeap};
}

CDatagramSocket::CDatagramSocket(void* user, void* sparePointer, ULONG spareLength)
    : m_self(this),
      OnSent(nullptr),
      OnReceived(nullptr),
      OnSendFailed(nullptr),
      OnReceiveError(nullptr),
      m_user(user),
      m_sparePointer(sparePointer),
      m_spareLength(spareLength),
      m_error(0),
      m_entry{INVALID_SOCKET, 0, this, nullptr},
      m_internalPool(nullptr),
      m_boundPool(nullptr),
      m_writeQueue(new CPtrList(this)),
      m_engine(nullptr),
      m_reception(nullptr),
      m_marker(kLiveSocket) {
  InitializeCriticalSection(&m_sendLock);
  udpwire::registerInstance(socketRegister(), this);
  InitVars(1);
  udpwire::CSocketEngine::instance();
}

CDatagramSocket::~CDatagramSocket() {
  m_marker = 0;
  if (udpwire::CSocketEngine* engine = udpwire::CSocketEngine::existing()) engine->restoreNormalPriority();
  DestroySocket();
  delete m_writeQueue;
  DeleteCriticalSection(&m_sendLock);
  udpwire::unregisterInstance(socketRegister(), this);
}

CDatagramSocket& CDatagramSocket::operator=(const CDatagramSocket& other) {
  m_user = other.m_user;
  m_sparePointer = other.m_sparePointer;
  m_spareLength = other.m_spareLength;
  m_boundPool = other.m_boundPool;
  OnSent = other.OnSent;
  OnReceived = other.OnReceived;
  OnSendFailed = other.OnSendFailed;
  OnReceiveError = other.OnReceiveError;
  return *this;
}

void CDatagramSocket::InitVars(int full) {
  if (full) m_error = 0;
  m_entry.socket = INVALID_SOCKET;
  std::memset(&m_localAddress, 0, sizeof m_localAddress);
  m_bound = 0;
}

int CDatagramSocket::BindMemoryPool(CMemoryPool* pool) {
  if (m_boundPool) return 3;
  m_boundPool = pool;
  return 0;
}

int CDatagramSocket::GetInternalDataMemoryPool(CMemoryPool** pool) {
  if (!pool) return 3;
  *pool = m_internalPool;
  return 0;
}

int CDatagramSocket::CreateSocket(int port) {
  if (port <= 0 || port > 65535) return 3;
  char decimal[16];
  std::snprintf(decimal, sizeof decimal, "%d", port);
  return CreateSocket(decimal);
}

int CDatagramSocket::failCreation(int result, int error) {
  if (m_entry.socket != INVALID_SOCKET) closesocket(m_entry.socket);
  m_error = error;
  InitVars(0);
  return result;
}

int CDatagramSocket::CreateSocket(const char* service) {
  if (m_entry.socket != INVALID_SOCKET) return 3;
  InitVars(1);
  m_entry.socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (m_entry.socket == INVALID_SOCKET) return failCreation(2, WSAGetLastError());
  if (service) {
    m_bound = 1;
    in_port_t port = 0;
    int error = 0;
    if (int result = udpwire::resolvePort(service, &port, &error)) return failCreation(result, error);
    m_localAddress.sin_family = AF_INET;
    m_localAddress.sin_port = port;
    m_localAddress.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(m_entry.socket, reinterpret_cast<sockaddr*>(&m_localAddress), sizeof m_localAddress) != 0)
      return failCreation(2, WSAGetLastError());
  }
  udpwire::CSocketEngine* engine = udpwire::CSocketEngine::instance();
  if (!engine) return failCreation(3, 0);
  m_entry.state = udpwire::kEntryActive;
  m_entry.owner = this;
  m_entry.event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (!m_entry.event) return failCreation(1, ENOMEM);
  if (!engine->registerEntry(&m_entry)) {
    CloseHandle(m_entry.event);
    m_entry.event = nullptr;
    return failCreation(1, ENOMEM);
  }
  m_engine = engine;
  return 0;
}

int CDatagramSocket::DestroySocket() {
  if (m_entry.socket == INVALID_SOCKET) return 3;
  // The descriptor is closed only once the reader, and a thread receiving
  // for the socket, have let go of it, so the port is free again when this
  // returns.
  udpwire::ThreadReception::detach(m_reception);
  m_reception = nullptr;
  if (m_engine) {
    {
      platform::CriticalSectionGuard guard(m_engine->lock());
      m_engine->clearEntry(&m_entry);
      CloseHandle(m_entry.event);
      m_entry.event = nullptr;
      m_entry.state = 0;
    }
    m_engine->postRescanNoticesAndWaitForReader();
  }
  closesocket(m_entry.socket);
  m_engine = nullptr;
  dropQueuedDatagrams();
  InitVars(1);
  return 0;
}

int CDatagramSocket::ReceiveOnThread(DWORD threadId) {
  if (m_entry.socket == INVALID_SOCKET || !m_engine || m_reception) return 3;
  m_reception = udpwire::ThreadReception::attach(*m_engine, m_entry, threadId);
  if (!m_reception) return 3;
  // The reader's set, made anew, watches the socket after the thread does.
  m_engine->postRescanNotices();
  return 0;
}

void CDatagramSocket::dropQueuedDatagrams() {
  if (!m_writeQueue) return;
  while (auto* request = static_cast<udpwire::WriteRequest*>(m_writeQueue->RemoveHead())) {
    udpwire::blockRelease(request->data);
    udpwire::blockRelease(request);
  }
}

int CDatagramSocket::LastError() const { return m_error; }

void CDatagramSocket::ReleaseBuffer(void* buffer) { udpwire::blockRelease(buffer); }
