// The reader and writer threads of the socket engine and what they share:
// the start-up handshake and the handling of their thread messages.
#pragma once

#include "socket_engine.h"
#include "udpwire/cwinsock.h"
#include "udpwire/destroy_thread.h"

namespace udpwire {

class EngineThreads {
 public:
  // Starts the writer, then the reader, each at time-critical priority,
  // and returns once both run at the engine's priority with their queues.
  static bool start(CSocketEngine& engine) noexcept;

 private:
  static DWORD WINAPI readerMain(LPVOID start);
  static DWORD WINAPI writerMain(LPVOID start);
  static bool startThread(CSocketEngine& engine, LPTHREAD_START_ROUTINE body, HANDLE& handle,
                          DWORD& id) noexcept;
};

// What a starting engine thread is given.
struct EngineThreadStart {
  CSocketEngine* engine;
  HANDLE started;  // set once the thread has its queue and priority
  int priority;
};

// The thread's own start of the sockets layer, its queue and its priority;
// then tells the creator. The result is released by leaveEngineThread.
CWinSock* enterEngineThread(const EngineThreadStart& start) noexcept;
void leaveEngineThread(CWinSock* sockets) noexcept;

// Handles every queued thread message, calling `rescan` once if any asked
// for it. False once the thread is told to quit.
template <class Rescan>
bool handleThreadMessages(Rescan&& rescan) {
  MSG message;
  bool rescanAsked = false;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == UDPWIRE_QUIT_MESSAGE || message.message == WM_QUIT) return false;
    if (message.message == UDPWIRE_RESCAN_MESSAGE) rescanAsked = true;
  }
  if (rescanAsked) rescan();
  return true;
}

}  // namespace udpwire
