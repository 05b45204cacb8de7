// The trap port: a UDP socket and a thread that reads it as fast as
// datagrams come and hands each one to the server thread as a trap
// record, so that a client slow to take its records never holds up the
// port. At most kMostWaiting records wait for the server thread; what
// comes beyond that is counted and dropped.
#pragma once

#include "server_options.h"

#include "platform/messages.h"
#include "platform/sockets.h"

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace notifyd {

// Thread messages to the server thread. kRecordMessage's lParam is a
// Record the receiver deletes.
constexpr UINT kRecordMessage = WM_USER + 100;
constexpr UINT kStopMessage = WM_USER + 101;

struct Record {
  std::vector<uint8_t> octets;
};

class TrapListener {
 public:
  static constexpr int kMostWaiting = 8192;

  TrapListener();
  ~TrapListener();
  TrapListener(const TrapListener&) = delete;
  TrapListener& operator=(const TrapListener&) = delete;

  // Opens the port. False with the reason in `error`.
  bool open(const ServerOptions& options, std::string& error);
  // The receive buffer the system granted, in octets.
  int receiveBuffer() const;
  // Starts reading; records and, at the end, kStopMessage go to
  // `serverThread`. The reader also ends the server when `window` is no
  // longer published (its runtime folder was removed).
  bool start(DWORD serverThread, HWND window);
  // Safe in a signal handler: asks the reader to end the server.
  void requestStop();
  // Ends the reader (after the server thread left its loop).
  void join();
  // The server thread took a record off the queue.
  void recordTaken() { waiting_.fetch_sub(1); }

  uint64_t received() const { return received_.load(); }
  uint64_t dropped() const { return dropped_.load(); }

 private:
  void read(DWORD serverThread, HWND window);
  void takeDatagrams(DWORD serverThread);
  void answerIfInform(size_t length, const sockaddr_in& sender);

  SOCKET socket_ = INVALID_SOCKET;
  int stopPipe_[2] = {-1, -1};
  std::thread reader_;
  std::atomic<int> waiting_{0};
  std::atomic<uint64_t> received_{0};
  std::atomic<uint64_t> dropped_{0};
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> answer_;
};

}  // namespace notifyd
