// Deciding which requests to drop.
#include "faults.h"

namespace simagent {

bool FaultInjector::dropNext() {
  ++seen_;
  if (plan_.dropEvery && seen_ % plan_.dropEvery == 0) return true;
  if (plan_.dropPercent) return random_() % 100 < plan_.dropPercent;
  return false;
}

}  // namespace simagent
