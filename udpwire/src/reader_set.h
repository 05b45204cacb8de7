// The reader thread's interest in the served sockets: an epoll set that
// watches them exclusively, so that a socket's owner thread, whose message
// waits watch it exclusively too and registered before this set was made,
// is woken for it alone while it sleeps in such a wait. The set is rebuilt
// at each rescan; every call is made under the engine's lock.
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
  // Watches the entries, each under its position in `entries`. False when
  // the set could not be made; it then watches nothing.
  bool rebuild(const std::vector<SocketEntry*>& entries) noexcept;
  // The positions of the readable entries, without waiting.
  const std::vector<uint32_t>& readable() noexcept;

 private:
  int set_ = -1;
  std::vector<uint32_t> readable_;
};

}  // namespace udpwire
