// The reader thread: waits in poll on every served socket and its own
// message queue, and receives one datagram per readable socket per pass.
#include "engine_threads.h"

#include "platform/sockets.h"

#include <vector>

namespace udpwire {
namespace {

class ReaderLoop {
 public:
  explicit ReaderLoop(CSocketEngine& engine, std::atomic<uint64_t>& wakeUps)
      : engine_(engine), wakeUps_(wakeUps) {}

  void run() {
    while (handleThreadMessages([this] { rescan(); })) {
      int ready = platform::waitForSocketsOrMessages(descriptors_.data(), descriptors_.size(), INFINITE);
      wakeUps_.fetch_add(1, std::memory_order_relaxed);
      if (ready == SOCKET_ERROR) postPersistently(GetCurrentThreadId(), UDPWIRE_RESCAN_MESSAGE);
      else if (ready > 0) serveReadable();
    }
  }

 private:
  // Sockets being closed wait for the end of a rescan that began after
  // their entry left its slot: from then on poll no longer holds them.
  void rescan() {
    uint64_t asked = 0;
    {
      platform::CriticalSectionGuard guard(engine_.lock());
      asked = engine_.rescansAsked();
      try {
        engine_.collectServed(served_);
        descriptors_.clear();
        for (const auto& served : served_) descriptors_.push_back({served.entry->socket, POLLIN, 0});
      } catch (...) {  // out of memory: serve nothing until the next notice
        served_.clear();
        descriptors_.clear();
      }
    }
    engine_.readerRescanned(asked);
  }

  // A descriptor whose socket was closed or replaced is skipped: the
  // change that did it also queued a rescan notice.
  void serveReadable() {
    platform::CriticalSectionGuard guard(engine_.lock());
    for (size_t i = 0; i < served_.size(); ++i) {
      const WSAPOLLFD& polled = descriptors_[i];
      if (!(polled.revents & (POLLIN | POLLERR))) continue;
      if (!engine_.stillServes(served_[i]) || served_[i].entry->socket != polled.fd) continue;
      // No amount is asked of the socket first: HandleRead takes the
      // datagram whole, whatever its length.
      served_[i].entry->owner->HandleRead(0);
    }
  }

  CSocketEngine& engine_;
  std::atomic<uint64_t>& wakeUps_;
  std::vector<CSocketEngine::Served> served_;
  std::vector<WSAPOLLFD> descriptors_;
};

}  // namespace

DWORD WINAPI EngineThreads::readerMain(LPVOID argument) {
  EngineThreadStart start = *static_cast<EngineThreadStart*>(argument);
  CWinSock* sockets = enterEngineThread(start);
  ReaderLoop(*start.engine, start.engine->m_readerWakeUps).run();
  leaveEngineThread(sockets);
  return 0;
}

}  // namespace udpwire
