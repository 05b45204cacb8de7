// The owner's thread receiving for its socket.
#include "thread_reception.h"

#include "socket_engine.h"

#include <new>

namespace udpwire {

// What the thread's waits call. The entry is forgotten when the reception
// ends; a wait that still holds the source then finds nothing to do.
class ThreadReception::Source final : public platform::MessageWaitSource {
 public:
  Source(CSocketEngine& engine, SocketEntry& entry) noexcept
      : engine_(engine), entry_(&entry), socket_(entry.socket) {}

  int descriptor() const noexcept override { return socket_; }

  // Under the lock, as on the reader thread: the reader may have taken the
  // datagram first, and receiving then finds nothing.
  void ready() noexcept override {
    platform::CriticalSectionGuard guard(engine_.lock());
    if (entry_ && entry_->state == kEntryActive) entry_->owner->HandleRead(0);
  }

  void forget() noexcept {
    platform::CriticalSectionGuard guard(engine_.lock());
    entry_ = nullptr;
  }

 private:
  CSocketEngine& engine_;
  SocketEntry* entry_;  // under the engine's lock
  const SOCKET socket_;
};

ThreadReception* ThreadReception::attach(CSocketEngine& engine, SocketEntry& entry, DWORD threadId) noexcept {
  auto* reception = new (std::nothrow) ThreadReception;
  if (!reception) return nullptr;
  try {
    reception->source_ = std::make_shared<Source>(engine, entry);
  } catch (...) {
    delete reception;
    return nullptr;
  }
  reception->attached_ = platform::attachToMessageWaits(threadId, reception->source_);
  if (reception->attached_) return reception;
  delete reception;
  return nullptr;
}

void ThreadReception::detach(ThreadReception* reception) noexcept {
  if (!reception) return;
  platform::detachFromMessageWaits(reception->attached_);
  reception->source_->forget();
  delete reception;
}

}  // namespace udpwire
