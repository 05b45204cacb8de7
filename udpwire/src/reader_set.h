// The reader thread's interest in the served sockets: an epoll set, so
// that another thread can take a socket out of the reader's wait and put
// it back without waking the reader. The set is rebuilt at each rescan;
// every call is made under the engine's lock.
#pragma once

#include "udpwire/datagram_socket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace udpwire {

class ReaderSet {
 public:
  ReaderSet() noexcept = default;
  ~ReaderSet();
  ReaderSet(const ReaderSet&) = delete;
  ReaderSet& operator=(const ReaderSet&) = delete;

  // Readable while a watched socket is; -1 when the set could not be made.
  int descriptor() const noexcept { return set_; }
  // Watches the entries, each under its position in `entries`, except the
  // ones whose owner's thread waits for them. False when the set could not
  // be made; it then watches nothing.
  bool rebuild(const std::vector<SocketEntry*>& entries) noexcept;
  // The entry's owner thread begins or ends a wait that receives for it.
  void ownerWaits(SocketEntry& entry) noexcept;
  void ownerStopsWaiting(SocketEntry& entry) noexcept;
  // The positions of the readable entries, without waiting.
  const std::vector<uint32_t>& readable() noexcept;

 private:
  void watch(const SocketEntry& entry, bool watched) noexcept;

  int set_ = -1;
  std::vector<uint32_t> readable_;
};

}  // namespace udpwire
