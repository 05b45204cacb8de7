// CWinSock starts and stops the sockets layer for the process and keeps
// the information block and last error of that start-up.
#pragma once

#include "platform/sockets.h"
#include "udpwire/class_heap.h"
#include "udpwire/export.h"

// Results: 0 success, 2 a sockets-layer call failed (its number is kept).
class UDPWIRE_API CWinSock {
 public:
  explicit CWinSock(WORD version);
  CWinSock& operator=(const CWinSock& other);

  // Starts the layer unless a CWinSock already did (then returns 0 at once).
  int Startup();
  // Stops the layer; the process-wide flag is cleared even when that fails.
  int Shutdown();
  void Information(WSADATA* information) const;
  int LastError() const;

  // 1 while the sockets layer is started through this class.
  static BYTE gc_tlInitialized;

  UDPWIRE_CLASS_HEAP_MEMBERS

 private:
  int m_lastError;
  WORD m_version;
  WSADATA m_information;
};
