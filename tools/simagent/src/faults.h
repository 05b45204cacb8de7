// Faults the agent can be told to inject, for tests of retransmission,
// time-outs and error handling.
#pragma once

#include <cstdint>
#include <optional>
#include <random>

namespace simagent {

struct FaultPlan {
  unsigned dropEvery = 0;        // drop every n-th request (0: none)
  unsigned dropPercent = 0;      // drop this share of requests, at random
  unsigned delayMilliseconds = 0;
  bool duplicate = false;        // send every answer twice
  std::optional<int> errorStatus;  // answer every request with this status
  int errorIndex = 1;
  bool replyFromOtherPort = false;
  bool stuckGetNext = false;     // answer a GetNext with the OID it asked for
  uint32_t seed = 1;
};

class FaultInjector {
 public:
  explicit FaultInjector(const FaultPlan& plan) : plan_(plan), random_(plan.seed) {}
  // Called once per request, in arrival order.
  bool dropNext();
  const FaultPlan& plan() const { return plan_; }

 private:
  FaultPlan plan_;
  uint64_t seen_ = 0;
  std::mt19937 random_;
};

}  // namespace simagent
