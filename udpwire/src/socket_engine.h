// CSocketEngine: one per process, made with the first CDatagramSocket. Its
// reader thread waits on its set of served sockets (see ReaderSet) and its
// own message queue; its writer thread waits on the sockets' events and
// its queue. Neither wakes while nothing happens. Rescan notices (thread
// messages) tell them that the set of served sockets changed.
//
// Every socket the process creates is served: the slots grow as needed.
#pragma once

#include "platform/messages.h"
#include "platform/sync.h"
#include "platform/waits.h"
#include "reader_set.h"
#include "udpwire/datagram_socket.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace udpwire {

class CSocketEngine {
 public:
  // The process's engine, made (with both threads started) on first use;
  // null when it cannot be made.
  static CSocketEngine* instance() noexcept;
  // The engine if it exists.
  static CSocketEngine* existing() noexcept;

  // Guards the slots and the reader's set; both threads, and an owner's
  // thread that receives for itself, hold it around every callback.
  CRITICAL_SECTION& lock() noexcept { return m_lock; }
  ReaderSet& readerSet() noexcept { return m_readerSet; }

  // False when out of memory. Posts rescan notices.
  [[nodiscard]] bool registerEntry(SocketEntry* entry) noexcept;
  // Clears the entry's slot; the caller holds the lock, then posts.
  void clearEntry(SocketEntry* entry) noexcept;
  void postRescanNotices() noexcept;
  // For a socket whose entry was cleared: posts the rescan notices and
  // returns once the reader has rebuilt its set without every cleared
  // descriptor, so that a descriptor is closed (and its number perhaps
  // reused) only once the reader can no longer report it. On an engine
  // thread it does not wait (the reader is not polling then, or needs the
  // lock the caller holds); elsewhere it waits a few seconds at most.
  void postRescanNoticesAndWaitForReader() noexcept;
  // The reader's side: the count of waits asked for, read when a rescan
  // begins, and the end of that rescan.
  uint64_t rescansAsked() const noexcept { return m_rescansAsked.load(); }
  void readerRescanned(uint64_t asked) noexcept;

  // Asks the writer to pause before its next wait (socket not writable).
  void requestBackOff() noexcept { m_backOff.store(true); }
  void restoreNormalPriority() noexcept;

  // Test support: how often each thread woke from its wait.
  uint64_t readerWakeUps() const noexcept { return m_readerWakeUps.load(); }
  uint64_t writerWakeUps() const noexcept { return m_writerWakeUps.load(); }

  // One served socket as a thread saw it at its last rescan.
  struct Served {
    size_t slot;
    SocketEntry* entry;
  };
  // True when `served` still names a live entry (call under the lock).
  bool stillServes(const Served& served) const noexcept;
  // The occupied slots at this moment (call under the lock).
  void collectServed(std::vector<Served>& out) const;

 private:
  friend class EngineThreads;
  CSocketEngine() noexcept;

  CSocketEngine* m_self;
  CRITICAL_SECTION m_lock;
  std::vector<SocketEntry*> m_slots;
  ReaderSet m_readerSet;
  size_t m_slotCount = 0;
  HANDLE m_reader = nullptr;
  HANDLE m_writer = nullptr;
  DWORD m_readerId = 0;
  DWORD m_writerId = 0;
  int m_readerPriority = THREAD_PRIORITY_NORMAL;
  int m_writerPriority = THREAD_PRIORITY_NORMAL;
  std::atomic<bool> m_backOff{false};
  std::atomic<uint64_t> m_readerWakeUps{0};
  std::atomic<uint64_t> m_writerWakeUps{0};
  std::atomic<uint64_t> m_rescansAsked{0};
  uint64_t m_rescansDone = 0;  // under m_rescanLock
  std::mutex m_rescanLock;
  std::condition_variable m_rescanned;
  DWORD m_marker;
};

// Posts a thread message until the post succeeds (the thread may not have
// its queue yet): at most 1,001 attempts, pausing 10 ms after every 100
// failures. False when every attempt failed.
bool postPersistently(DWORD threadId, UINT message) noexcept;

}  // namespace udpwire
