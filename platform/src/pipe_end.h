// One end of a local pipe: a server end (a listening socket and, while a
// client is connected, its connection) or a client end (a connection).
//
// Every operation is first tried without blocking. An overlapped one that
// cannot complete at once is left to the end's completion thread, which
// waits for the socket, finishes the operation, fills in the OVERLAPPED
// and signals its event. One lock guards the end; the completion thread
// takes it only to finish an operation.
#pragma once

#include "handles.h"
#include "pipe_access.h"
#include "pipe_names.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::detail {

class PipeEnd final : public Waitable {
 public:
  // A server end on a bound and listening socket, holding its lock file.
  PipeEnd(int listener, int lockFile, PipeLocation location, PipeAccess access, bool messageReads);
  // A client end on a connected socket.
  explicit PipeEnd(int connection);
  ~PipeEnd() override;
  PipeEnd(const PipeEnd&) = delete;
  PipeEnd& operator=(const PipeEnd&) = delete;

  // Not waitable: waits go to the operations' events.
  int descriptor() const noexcept override { return -1; }
  bool acquire() noexcept override { return false; }

  bool valid() const noexcept { return wake_ >= 0; }
  bool isServer() const noexcept { return listener_ >= 0; }

  // Each returns the call's BOOL and sets the thread's last error.
  BOOL connect(OVERLAPPED* overlapped);
  BOOL disconnect();
  BOOL read(void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped);
  BOOL write(const void* buffer, DWORD size, DWORD* written, OVERLAPPED* overlapped);
  BOOL overlappedResult(OVERLAPPED* overlapped, DWORD* transferred, BOOL wait);
  void setMessageReads(bool messageReads);

 private:
  enum class Operation { none, connect, read, write };
  struct Request {
    Operation operation = Operation::none;
    void* buffer = nullptr;
    DWORD size = 0;
    OVERLAPPED* overlapped = nullptr;
  };
  struct Outcome {
    DWORD error = 0;
    DWORD bytes = 0;
  };

  BOOL perform(const Request& request, DWORD* transferred);
  // One try without blocking: true with the outcome when the operation
  // is done, false when it has to wait for the socket. Lock held.
  bool attempt(const Request& request, Outcome& outcome);
  bool attemptConnect(Outcome& outcome);
  bool attemptRead(const Request& request, Outcome& outcome);
  bool attemptWrite(const Request& request, Outcome& outcome);
  bool serveRemainder(const Request& request, Outcome& outcome);
  // The socket and poll events the request waits for.
  int socketOf(Operation operation) const;
  // Lock held.
  void finish(OVERLAPPED* overlapped, const Outcome& outcome);
  void abandonPending(DWORD error);
  void wakeCompletionThread();
  void runCompletions();
  bool waitUntilReady(const Request& request, std::unique_lock<std::mutex>& held);

  std::mutex lock_;
  std::condition_variable requested_;
  int listener_ = -1;
  int lockFile_ = -1;
  PipeLocation location_;
  PipeAccess access_;
  int connection_ = -1;
  bool messageReads_ = true;
  std::vector<char> remainder_;  // the unread rest of a message read in part
  size_t remainderOffset_ = 0;
  Request pending_;
  uint64_t generation_ = 0;  // counts pending operations, so a stale wake finishes nothing
  int wake_ = -1;            // eventfd that interrupts the completion thread's wait
  bool closing_ = false;
  std::thread completions_;
};

}  // namespace platform::detail
