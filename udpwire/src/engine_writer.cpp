// The writer thread: waits on the events of every served socket and its
// own message queue; each wake-up sends at most one datagram per socket
// whose event is signalled.
#include "engine_threads.h"

#include <vector>

namespace udpwire {
namespace {

constexpr DWORD kBackOff = 10;

class WriterLoop {
 public:
  explicit WriterLoop(CSocketEngine& engine, std::atomic<uint64_t>& wakeUps, std::atomic<bool>& backOff)
      : engine_(engine), wakeUps_(wakeUps), backOff_(backOff) {}

  // Which event woke the wait does not matter: every signalled one is
  // served, so a busy socket cannot keep the others waiting.
  void run() {
    while (handleThreadMessages([this] { rescan(); })) {
      DWORD woke = MsgWaitForMultipleObjects(static_cast<DWORD>(events_.size()), events_.data(), FALSE,
                                             INFINITE, QS_ALLINPUT);
      wakeUps_.fetch_add(1, std::memory_order_relaxed);
      if (woke == WAIT_FAILED) {  // a closed event: a notice is on its way
        postPersistently(GetCurrentThreadId(), UDPWIRE_RESCAN_MESSAGE);
        continue;
      }
      serveSignalled();
      if (backOff_.exchange(false)) Sleep(kBackOff);
    }
  }

 private:
  void rescan() {
    platform::CriticalSectionGuard guard(engine_.lock());
    try {
      engine_.collectServed(served_);
      events_.clear();
      for (const auto& served : served_) events_.push_back(served.entry->event);
    } catch (...) {  // out of memory: serve nothing until the next notice
      served_.clear();
      events_.clear();
    }
  }

  void serveSignalled() {
    bool rescanNeeded = false;
    {
      platform::CriticalSectionGuard guard(engine_.lock());
      for (size_t i = 0; i < served_.size(); ++i) {
        if (!engine_.stillServes(served_[i]) || served_[i].entry->event != events_[i]) continue;
        if (WaitForSingleObject(events_[i], 0) != WAIT_OBJECT_0) continue;
        ResetEvent(events_[i]);
        if (!served_[i].entry->owner->HandleWrite()) rescanNeeded = true;
      }
    }
    if (rescanNeeded) postPersistently(GetCurrentThreadId(), UDPWIRE_RESCAN_MESSAGE);
  }

  CSocketEngine& engine_;
  std::atomic<uint64_t>& wakeUps_;
  std::atomic<bool>& backOff_;
  std::vector<CSocketEngine::Served> served_;
  std::vector<HANDLE> events_;
};

}  // namespace

DWORD WINAPI EngineThreads::writerMain(LPVOID argument) {
  EngineThreadStart start = *static_cast<EngineThreadStart*>(argument);
  CWinSock* sockets = enterEngineThread(start);
  WriterLoop(*start.engine, start.engine->m_writerWakeUps, start.engine->m_backOff).run();
  leaveEngineThread(sockets);
  return 0;
}

}  // namespace udpwire
