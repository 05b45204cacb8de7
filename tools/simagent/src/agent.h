// The agent: turns each received datagram into the answers to send, with
// the faults it was told to inject, and counts what it saw.
#pragma once

#include "faults.h"
#include "live_system.h"
#include "mib_view.h"
#include "options.h"
#include "wire.h"

#include <chrono>
#include <string>
#include <vector>

namespace simagent {

struct Statistics {
  uint64_t requests = 0;   // datagrams received
  uint64_t answered = 0;
  uint64_t dropped = 0;    // by fault injection
  uint64_t ignored = 0;    // not SNMPv1, unknown community, nothing to answer
};

struct Answer {
  std::string octets;
  unsigned delayMilliseconds = 0;
  bool fromOtherPort = false;
};

class Agent {
 public:
  explicit Agent(const Options& options);
  bool ready() const { return wire_.ready(); }
  // Loads the walk file, if the options name one; false with a message
  // when it cannot be read. A message on success tells of skipped lines.
  bool load(std::string& message);
  size_t objectCount() const { return view_.size(); }
  // The answers to one received datagram (none, one, or two duplicates).
  std::vector<Answer> receive(const unsigned char* octets, size_t length, std::string& logLine);
  // Counts a datagram that arrived but is left unanswered because the
  // agent is stopping.
  void countUnanswered() {
    ++statistics_.requests;
    ++statistics_.ignored;
  }
  const Statistics& statistics() const { return statistics_; }

 private:
  void refreshLiveData();
  Access accessOf(const std::string& community) const;

  Options options_;
  MibView view_;
  FaultInjector faults_;
  Wire wire_;
  Statistics statistics_;
  std::chrono::steady_clock::time_point lastRefresh_{};
};

}  // namespace simagent
