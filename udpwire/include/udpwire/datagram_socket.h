// CDatagramSocket: one UDP socket, optionally bound to a local port, with
// a queue of outgoing datagrams and four owner callbacks. The process's
// socket engine does all the waiting: its reader thread receives and calls
// OnReceived / OnReceiveError while holding the engine's lock. Write sends
// a datagram at once when none is queued before it, and then calls
// OnSent / OnSendFailed itself, on the writing thread, before it returns;
// a datagram the socket cannot take at once is queued, and the engine's
// writer thread sends it once the socket drains and calls the callback
// while holding the engine's lock.
//
// ReceiveOnThread lets the thread that takes the owner's notifications
// receive the socket's datagrams itself while it sleeps in a message wait
// (GetMessage and the like); the callbacks then run on that thread, under
// the engine's lock, as they would on the reader thread.
//
// Results of the members: 0 success, 1 out of memory, 2 a sockets call or
// a name look-up failed (its number is kept, see LastError), 3 wrong state
// or argument.
//
// A callback that returns nonzero keeps the buffer it was given and must
// hand it back with ReleaseBuffer; otherwise the buffer is released when
// the callback returns. Once DestroySocket (or the destructor) returns, no
// callback runs for the socket any more; a thread that holds a lock the
// callbacks take must not destroy the socket.
#pragma once

#include "ordmap.h"
#include "platform/sockets.h"
#include "platform/sync.h"
#include "udpwire/class_heap.h"
#include "udpwire/export.h"

#include <cstdint>
#include <netinet/in.h>

class CMemoryPool;
class CPtrList;
class CDatagramSocket;

namespace udpwire {

class CSocketEngine;
class ThreadReception;

// What the engine sees of a created socket.
struct SocketEntry {
  SOCKET socket;
  LONG state;  // kEntryActive while served
  CDatagramSocket* owner;
  HANDLE event;  // manual reset; wakes the writer thread
};

inline constexpr LONG kEntryActive = 2;
inline constexpr int kLargestDatagram = 65535;

}  // namespace udpwire

typedef int(WINAPI* DatagramBufferCallback)(void* user, void* data);
typedef int(WINAPI* DatagramReceivedCallback)(void* user, void* data, unsigned long length,
                                              sockaddr_in* sender);
typedef int(WINAPI* DatagramErrorCallback)(void* user);

class UDPWIRE_API CDatagramSocket {
  // First field: the class register is keyed by it.
  [[maybe_unused]] CDatagramSocket* m_self;

 public:
  // The spare arguments are kept for the owner and not used here.
  CDatagramSocket(void* user, void* sparePointer, ULONG spareLength);
  ~CDatagramSocket();
  // Copies the owner's settings (user, spares, callbacks, pool); keeps
  // this object's socket, queue and identity.
  CDatagramSocket& operator=(const CDatagramSocket& other);

  // Forgets the socket and its address; a nonzero `full` clears the error.
  void InitVars(int full);
  int BindMemoryPool(CMemoryPool* pool);
  // There is never an internal pool: stores null, returns 0.
  int GetInternalDataMemoryPool(CMemoryPool** pool);

  // 3 for ports outside 1..65535 and when a socket exists.
  int CreateSocket(int port);
  // The service is a decimal port or a name of the services database
  // ("udp"); null makes an unbound socket. 2 when the look-up or bind fails
  // (nothing is left open), 3 when the engine cannot serve the socket.
  int CreateSocket(const char* service);
  // 3 when there is no socket. Datagrams still queued are dropped.
  int DestroySocket();

  // Sends (or queues) a private copy of 1..65,535 bytes; the caller may
  // reuse its buffer at once. 3 for other lengths or without a socket, 1
  // when memory runs out; nothing is sent or queued then. A send that
  // fails is reported through OnSendFailed, not by the result.
  int Write(int length, void* data, sockaddr_in* to);
  // Resolves a dotted address or host name and a port or service name;
  // 2 when either is unknown.
  int Write(int length, void* data, const char* host, const char* service);
  int Write(int length, void* data, const char* host, int port);

  // Engine side: receive one datagram of about `available` bytes (0: take
  // it whole, whatever its length), and send at most one queued datagram.
  // HandleWrite is false only when the socket is no longer usable.
  bool HandleRead(unsigned long available);
  bool HandleWrite();

  // 3 without a socket, when one thread receives already, or when the
  // thread has no message queue (the reader thread keeps receiving then).
  // Ends with the socket.
  int ReceiveOnThread(DWORD threadId);

  int LastError() const;
  // Hands back a buffer a callback kept.
  static void ReleaseBuffer(void* buffer);

  // Set by the owner after construction and before CreateSocket.
  DatagramBufferCallback OnSent;
  DatagramReceivedCallback OnReceived;
  DatagramBufferCallback OnSendFailed;
  DatagramErrorCallback OnReceiveError;

  // The register of live sockets (a sorted table keyed by address).
  static HTREE gc_hTreeCDatagramSocket;

  UDPWIRE_CLASS_HEAP_MEMBERS

 private:
  int failCreation(int result, int error);
  void dropQueuedDatagrams();
  void reportReceiveError();
  void deliver(void* buffer, unsigned long length, sockaddr_in* sender);
  bool receiveWhole();
  enum class SendOutcome { sent, failed, later };
  SendOutcome sendNow(void* data, uint16_t length, const sockaddr_in& to);
  int queueForWriter(void* data, uint16_t length, const sockaddr_in& to);
  void reportSend(void* data, bool whole);

  void* m_user;
  void* m_sparePointer;
  ULONG m_spareLength;
  sockaddr_in m_localAddress;
  int m_error;
  int m_bound;
  udpwire::SocketEntry m_entry;
  CMemoryPool* m_internalPool;
  CMemoryPool* m_boundPool;
  CPtrList* m_writeQueue;
  // Held around a send and the look at the queue before it, so that sends
  // on the writing threads and the writer thread's keep their order.
  CRITICAL_SECTION m_sendLock;
  udpwire::CSocketEngine* m_engine;
  udpwire::ThreadReception* m_reception;
  DWORD m_marker;
};
