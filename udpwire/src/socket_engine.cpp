// The socket engine: made once per process, never stopped by the library.
#include "socket_engine.h"

#include "engine_threads.h"
#include "platform/heap.h"
#include "platform/messages.h"
#include "udpwire/destroy_thread.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace udpwire {
namespace {

constexpr DWORD kLiveEngine = 0x77880123;
constexpr SIZE_T kEngineStack = 16000;
constexpr int kPostAttempts = 1001;
constexpr int kFailuresBeforePause = 100;
constexpr DWORD kPostPause = 10;
// The reader answers a rescan notice at once unless it is inside a
// callback; this only bounds a wait that something has gone wrong with.
constexpr auto kLongestLetGo = std::chrono::seconds(5);

constinit platform::CountedHeap engineHeap;
std::mutex creationLock;
std::atomic<CSocketEngine*> processEngine{nullptr};

}  // namespace

CSocketEngine::CSocketEngine() noexcept : m_self(this), m_marker(kLiveEngine) {
  InitializeCriticalSection(&m_lock);
}

CSocketEngine* CSocketEngine::existing() noexcept { return processEngine.load(std::memory_order_acquire); }

CSocketEngine* CSocketEngine::instance() noexcept {
  if (CSocketEngine* engine = existing()) return engine;
  std::lock_guard guard(creationLock);
  if (CSocketEngine* engine = existing()) return engine;
  void* memory = engineHeap.allocate(sizeof(CSocketEngine));
  if (!memory) return nullptr;
  auto* engine = new (memory) CSocketEngine;
  if (!EngineThreads::start(*engine)) return nullptr;  // kept: a started thread may hold it
  processEngine.store(engine, std::memory_order_release);
  return engine;
}

bool CSocketEngine::registerEntry(SocketEntry* entry) noexcept {
  {
    platform::CriticalSectionGuard guard(m_lock);
    auto freeSlot = std::find(m_slots.begin(), m_slots.end(), nullptr);
    if (freeSlot != m_slots.end()) {
      *freeSlot = entry;
    } else {
      try {
        m_slots.push_back(entry);
      } catch (...) {
        return false;
      }
    }
    m_slotCount += 1;
  }
  postRescanNotices();
  return true;
}

void CSocketEngine::clearEntry(SocketEntry* entry) noexcept {
  platform::CriticalSectionGuard guard(m_lock);
  if (m_slotCount == 0) return;
  auto slot = std::find(m_slots.begin(), m_slots.end(), entry);
  if (slot == m_slots.end()) return;
  *slot = nullptr;
  m_slotCount -= 1;
}

void CSocketEngine::postRescanNotices() noexcept {
  postPersistently(m_readerId, UDPWIRE_RESCAN_MESSAGE);
  postPersistently(m_writerId, UDPWIRE_RESCAN_MESSAGE);
}

void CSocketEngine::postRescanNoticesAndWaitForReader() noexcept {
  uint64_t ticket = m_rescansAsked.fetch_add(1) + 1;
  postRescanNotices();
  DWORD caller = GetCurrentThreadId();
  if (caller == m_readerId || caller == m_writerId) return;
  std::unique_lock guard(m_rescanLock);
  m_rescanned.wait_for(guard, kLongestLetGo, [&] { return m_rescansDone >= ticket; });
}

void CSocketEngine::readerRescanned(uint64_t asked) noexcept {
  {
    std::lock_guard guard(m_rescanLock);
    if (asked <= m_rescansDone) return;
    m_rescansDone = asked;
  }
  m_rescanned.notify_all();
}

void CSocketEngine::restoreNormalPriority() noexcept {
  SetThreadPriority(m_reader, THREAD_PRIORITY_NORMAL);
  SetThreadPriority(m_writer, THREAD_PRIORITY_NORMAL);
}

bool CSocketEngine::stillServes(const Served& served) const noexcept {
  return served.slot < m_slots.size() && m_slots[served.slot] == served.entry &&
         served.entry->state == kEntryActive;
}

void CSocketEngine::collectServed(std::vector<Served>& out) const {
  out.clear();
  for (size_t slot = 0; slot < m_slots.size(); ++slot)
    if (m_slots[slot] && m_slots[slot]->state == kEntryActive) out.push_back({slot, m_slots[slot]});
}

bool postPersistently(DWORD threadId, UINT message) noexcept {
  for (int attempt = 1; attempt <= kPostAttempts; ++attempt) {
    if (PostThreadMessage(threadId, message, 0, 0)) return true;
    if (attempt % kFailuresBeforePause == 0) Sleep(kPostPause);
  }
  return false;
}

bool EngineThreads::start(CSocketEngine& engine) noexcept {
  if (!startThread(engine, writerMain, engine.m_writer, engine.m_writerId)) return false;
  if (startThread(engine, readerMain, engine.m_reader, engine.m_readerId)) return true;
  destroyThread(engine.m_writerId, engine.m_writer, "udpwire writer");
  return false;
}

bool EngineThreads::startThread(CSocketEngine& engine, LPTHREAD_START_ROUTINE body, HANDLE& handle,
                                DWORD& id) noexcept {
  HANDLE started = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (!started) return false;
  int priority = body == readerMain ? engine.m_readerPriority : engine.m_writerPriority;
  EngineThreadStart start{&engine, started, priority};
  handle = CreateThread(nullptr, kEngineStack, body, &start, CREATE_SUSPENDED, &id);
  if (handle) {
    SetThreadPriority(handle, THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(handle);
    WaitForSingleObject(started, INFINITE);
  }
  CloseHandle(started);
  return handle != nullptr;
}

CWinSock* enterEngineThread(const EngineThreadStart& start) noexcept {
  CWinSock* sockets = new CWinSock(0x0101);
  if (sockets) sockets->Startup();
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
  SetThreadPriority(GetCurrentThread(), start.priority);
  SetEvent(start.started);
  return sockets;
}

void leaveEngineThread(CWinSock* sockets) noexcept {
  if (!sockets) return;
  sockets->Shutdown();
  delete sockets;
}

}  // namespace udpwire
