// The sockets layer start-up, shared by every user in the process.
#include "udpwire/cwinsock.h"

#include <atomic>
#include <cstring>

BYTE CWinSock::gc_tlInitialized = 0;
UDPWIRE_CLASS_HEAP_DEFINE(CWinSock)

CWinSock::CWinSock(WORD version) : m_lastError(0), m_version(version) {
  std::memset(&m_information, 0, sizeof m_information);
}

CWinSock& CWinSock::operator=(const CWinSock& other) = default;

namespace {

// The flag is shared by every thread that starts the layer (the engine
// threads among them); reading and writing it atomically keeps that safe.
std::atomic_ref<BYTE> startedFlag() { return std::atomic_ref<BYTE>(CWinSock::gc_tlInitialized); }

}  // namespace

int CWinSock::Startup() {
  if (startedFlag().load() == 1) return 0;
  if (int error = WSAStartup(m_version, &m_information)) {
    m_lastError = error;
    return 2;
  }
  startedFlag().store(1);
  return 0;
}

int CWinSock::Shutdown() {
  int result = 0;
  if (WSACleanup() != 0) {
    m_lastError = WSAGetLastError();
    result = 2;
  }
  startedFlag().store(0);
  return result;
}

void CWinSock::Information(WSADATA* information) const {
  if (information) *information = m_information;
}

int CWinSock::LastError() const { return m_lastError; }
