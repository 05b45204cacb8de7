// The wait loop. Descriptors are rebuilt on every pass, so objects whose
// handles close meanwhile stay valid (the request holds them).
#include "wait_core.h"
#include "fast_tls.h"

#include "platform/tick.h"
#include "thread_record.h"

#include <algorithm>
#include <cerrno>
#include <sys/epoll.h>
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

PLATFORM_FAST_TLS thread_local unsigned long long wakeUps = 0;

std::vector<pollfd>& scratchDescriptors() {
  thread_local std::vector<pollfd> descriptors;
  return descriptors;
}

// Sockets, objects, the thread's sources, then the queue's descriptor and
// the termination's.
void gatherDescriptors(const WaitRequest& request, const ThreadRecord& self, const SourceUse& sources,
                       int queueDescriptor, std::vector<pollfd>& out) {
  out.assign(request.sockets.begin(), request.sockets.end());
  for (const auto& object : request.objects) out.push_back({object->descriptor(), POLLIN, 0});
  sources.appendDescriptors(out);
  if (request.queue) out.push_back({queueDescriptor, POLLIN, 0});
  out.push_back({self.terminationDescriptor(), POLLIN, 0});
}

// While the queue holds input the wait is not for, its signal stays
// readable; the wait then watches for new arrivals instead. Disarmed on
// every way out.
class QueueWatch {
 public:
  explicit QueueWatch(const WaitRequest& request) : request_(request) {}
  ~QueueWatch() {
    if (arrivals_) request_.queue->disarmArrivals();
  }
  // True when the queue holds input the wait is for. With arrivals
  // watched they are re-armed first, so nothing posted meanwhile is missed.
  bool hasInput(uint64_t now) {
    if (arrivals_) request_.queue->armArrivals();
    return request_.queue->hasInput(request_.wakeMask, now, request_.filter);
  }
  int descriptor() const {
    return arrivals_ ? request_.queue->arrivalDescriptor() : request_.queue->descriptor();
  }
  bool watchingArrivals() const { return arrivals_; }
  // The watched descriptor was readable, yet (as the next look may show)
  // without input for this wait: either the signal of a message already
  // taken, which settling clears, or input of other kinds.
  void woke(uint64_t now) {
    if (arrivals_ || request_.queue->hasInput(request_.wakeMask, now, request_.filter)) return;
    request_.queue->settle();
    if (request_.queue->signalled()) {
      arrivals_ = true;
      request_.queue->armArrivals();
    }
  }

 private:
  const WaitRequest& request_;
  bool arrivals_ = false;
};

// How many of the sockets poll reported, copying their results back.
size_t readySockets(const WaitRequest& request, const std::vector<pollfd>& polled) {
  size_t ready = 0;
  for (size_t i = 0; i < request.sockets.size(); ++i) {
    request.sockets[i].revents = polled[i].revents;
    if (polled[i].revents) ++ready;
  }
  return ready;
}

// Only waits for posted input serve the thread's sources: what a source's
// `ready` does ends such a wait by posting.
WaitSources* sourcesOf(const WaitRequest& request) {
  bool takesPosted = request.queue && (request.wakeMask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE));
  return takesPosted && !request.queue->sources().empty() ? &request.queue->sources() : nullptr;
}

constexpr int kEventsPerSleep = 16;

// A wait that serves the thread's sources and watches nothing else but its
// queue's signal sleeps in the thread's sleep set, where the sources are
// watched exclusively; -1 when it polls.
int sleepSetFor(const WaitRequest& request, const QueueWatch& queue, WaitSources* sources,
                const ThreadRecord& self) {
  if (!sources || !request.objects.empty() || !request.sockets.empty() || queue.watchingArrivals()) return -1;
  return sources->sleepSet(request.queue->descriptor(), self.terminationDescriptor());
}

// One sleep in the sleep set; the errno of a failure, else 0.
int sleepInSet(int set, int limit, SourceUse& sources, QueueWatch& queue) {
  epoll_event events[kEventsPerSleep];
  int count = epoll_wait(set, events, kEventsPerSleep, limit);
  ++wakeUps;
  if (count < 0) return errno == EINTR ? 0 : errno;
  sources.serveReady(events, count);
  bool signalled = std::any_of(events, events + count, [](const epoll_event& event) {
    return event.data.u64 == kQueueSignalKey;
  });
  if (signalled) queue.woke(GetTickCount64());
  return 0;
}

}  // namespace

WaitResult waitFor(const WaitRequest& request) noexcept {
  ThreadRecord& self = currentThreadRecord();
  std::vector<pollfd>& descriptors = scratchDescriptors();
  uint64_t start = 0;
  QueueWatch queue(request);
  WaitSources* served = sourcesOf(request);
  SourceUse sources(served);
  for (bool polled = false;; polled = true) {
    if (self.terminationRequested()) return {WaitOutcome::failed, 0, ECANCELED};
    for (size_t i = 0; i < request.objects.size(); ++i)
      if (request.objects[i]->acquire()) return {WaitOutcome::object, i};
    uint64_t now = GetTickCount64();
    if (!polled) start = now;
    if (request.queue && queue.hasInput(now)) return {WaitOutcome::input};
    int limit = remainingTime(request.timeout, start, now);
    if (limit == 0 && (polled || request.sockets.empty())) return {WaitOutcome::timeout};
    if (request.queue && (request.wakeMask & QS_TIMER))
      limit = shorterOf(limit, request.queue->timeToNextTimer(now, request.filter));
    if (!sources.refresh()) return {WaitOutcome::failed, 0, ENOMEM};
    if (int set = sleepSetFor(request, queue, served, self); set >= 0) {
      if (int error = sleepInSet(set, limit, sources, queue)) return {WaitOutcome::failed, 0, error};
      continue;
    }
    try {
      gatherDescriptors(request, self, sources, request.queue ? queue.descriptor() : -1, descriptors);
    } catch (...) {
      return {WaitOutcome::failed, 0, ENOMEM};
    }
    int result = poll(descriptors.data(), descriptors.size(), limit);
    ++wakeUps;
    if (result < 0 && errno != EINTR) return {WaitOutcome::failed, 0, errno};
    if (result <= 0) continue;
    if (size_t ready = readySockets(request, descriptors)) return {WaitOutcome::sockets, ready};
    for (size_t i = 0; i < request.objects.size(); ++i)
      if (descriptors[request.sockets.size() + i].revents) request.objects[i]->settle();
    sources.serveReadable(&descriptors[request.sockets.size() + request.objects.size()]);
    if (request.queue && descriptors[descriptors.size() - 2].revents) queue.woke(GetTickCount64());
  }
}

}  // namespace platform::detail

namespace platform {

unsigned long long waitWakeUpsOfCallingThread() { return detail::wakeUps; }

}  // namespace platform
