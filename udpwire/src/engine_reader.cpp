// The reader thread: waits on its set of served sockets and its own message
// queue, and receives one datagram per readable socket per look. A socket
// whose owner's thread sleeps in a message wait does not wake the reader:
// that thread receives it itself.
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
      WSAPOLLFD set{engine_.readerSet().descriptor(), POLLIN, 0};
      int ready = platform::waitForSocketsOrMessages(&set, set.fd >= 0 ? 1 : 0, INFINITE);
      wakeUps_.fetch_add(1, std::memory_order_relaxed);
      if (ready == SOCKET_ERROR) postPersistently(GetCurrentThreadId(), UDPWIRE_RESCAN_MESSAGE);
      else if (ready > 0) serveReadable();
    }
  }

 private:
  // Sockets being closed wait for the end of a rescan that began after
  // their entry left its slot: from then on the set no longer holds them.
  void rescan() {
    uint64_t asked = 0;
    {
      platform::CriticalSectionGuard guard(engine_.lock());
      asked = engine_.rescansAsked();
      try {
        engine_.collectServed(served_);
        entries_.clear();
        sockets_.clear();
        for (const auto& served : served_) {
          entries_.push_back(served.entry);
          sockets_.push_back(served.entry->socket);
        }
      } catch (...) {  // out of memory: serve nothing until the next notice
        served_.clear();
        entries_.clear();
        sockets_.clear();
      }
      if (!engine_.readerSet().rebuild(entries_)) served_.clear();
    }
    engine_.readerRescanned(asked);
  }

  // A descriptor whose socket was closed or replaced is skipped: the
  // change that did it also queued a rescan notice.
  void serveReadable() {
    platform::CriticalSectionGuard guard(engine_.lock());
    for (uint32_t i : engine_.readerSet().readable()) {
      if (i >= served_.size()) continue;
      if (!engine_.stillServes(served_[i]) || served_[i].entry->socket != sockets_[i]) continue;
      // No amount is asked of the socket first: HandleRead takes the
      // datagram whole, whatever its length.
      served_[i].entry->owner->HandleRead(0);
    }
  }

  CSocketEngine& engine_;
  std::atomic<uint64_t>& wakeUps_;
  std::vector<CSocketEngine::Served> served_;
  std::vector<SocketEntry*> entries_;
  std::vector<SOCKET> sockets_;  // as they were at the rescan
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
