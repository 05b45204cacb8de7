// The wait loop. Descriptors are rebuilt on every pass, so objects whose
// handles close meanwhile stay valid (the request holds them).
#include "wait_core.h"

#include "platform/tick.h"
#include "thread_record.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform::detail {
namespace {

// -1 for no limit, else the milliseconds left (0 when the time is up).
int remainingTime(DWORD timeout, uint64_t start, uint64_t now) {
  if (timeout == INFINITE) return -1;
  uint64_t elapsed = now - start;
  return elapsed >= timeout ? 0 : static_cast<int>(timeout - elapsed);
}

int shorterOf(int limit, DWORD other) {
  if (other == INFINITE) return limit;
  int candidate = static_cast<int>(std::min<DWORD>(other, INT32_MAX));
  return limit < 0 ? candidate : std::min(limit, candidate);
}

std::vector<pollfd>& scratchDescriptors() {
  thread_local std::vector<pollfd> descriptors;
  return descriptors;
}

// The queue's descriptor comes last but one, before the termination's.
void gatherDescriptors(const WaitRequest& request, const ThreadRecord& self, bool watchQueue,
                       std::vector<pollfd>& out) {
  out.assign(request.sockets.begin(), request.sockets.end());
  for (const auto& object : request.objects) out.push_back({object->descriptor(), POLLIN, 0});
  if (watchQueue) out.push_back({request.queue->descriptor(), POLLIN, 0});
  out.push_back({self.terminationDescriptor(), POLLIN, 0});
}

// How many of the sockets poll reported, copying their results back.
size_t readySockets(const WaitRequest& request, const std::vector<pollfd>& polled) {
  size_t ready = 0;
  for (size_t i = 0; i < request.sockets.size(); ++i) {
    request.sockets[i].revents = polled[i].revents;
    if (polled[i].revents) ++ready;
  }
  return ready;
}

}  // namespace

WaitResult waitFor(const WaitRequest& request) noexcept {
  ThreadRecord& self = currentThreadRecord();
  std::vector<pollfd>& descriptors = scratchDescriptors();
  uint64_t start = GetTickCount64();
  // Set once the queue woke the wait with messages outside the wake mask:
  // it is then checked every millisecond instead of watched.
  bool queueHoldsOnlyOthers = false;
  for (bool polled = false;; polled = true) {
    if (self.terminationRequested()) return {WaitOutcome::failed, 0, ECANCELED};
    for (size_t i = 0; i < request.objects.size(); ++i)
      if (request.objects[i]->acquire()) return {WaitOutcome::object, i};
    uint64_t now = GetTickCount64();
    if (request.queue && request.queue->hasInput(request.wakeMask, now)) return {WaitOutcome::input};
    int limit = remainingTime(request.timeout, start, now);
    if (limit == 0 && (polled || request.sockets.empty())) return {WaitOutcome::timeout};
    if (request.queue && (request.wakeMask & QS_TIMER))
      limit = shorterOf(limit, request.queue->timeToNextTimer(now));
    bool watchQueue = request.queue && !queueHoldsOnlyOthers;
    if (request.queue && queueHoldsOnlyOthers) limit = shorterOf(limit, 1);
    try {
      gatherDescriptors(request, self, watchQueue, descriptors);
    } catch (...) {
      return {WaitOutcome::failed, 0, ENOMEM};
    }
    int result = poll(descriptors.data(), descriptors.size(), limit);
    if (result < 0 && errno != EINTR) return {WaitOutcome::failed, 0, errno};
    if (result <= 0) continue;
    if (size_t ready = readySockets(request, descriptors)) return {WaitOutcome::sockets, ready};
    if (watchQueue && descriptors[descriptors.size() - 2].revents) queueHoldsOnlyOthers = true;
  }
}

}  // namespace platform::detail
