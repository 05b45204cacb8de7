// Telling the application that an item is queued. A post fails when the
// target window or thread has gone (or its queue is full); the post is
// then retried from the timer thread, never on the thread that queued the
// item: that is the transport's reader, which every session shares, or
// the timer thread itself, which every request shares.
#include "session.h"

#include "timer_service.h"

#include "platform/messages.h"
#include "platform/tick.h"

namespace netmgr {
namespace {

// A failing post is tried again every 10 ms (at the timer's pace) for
// about ten seconds after the last post that got through; then the
// unposted notifications are given up and their items wait for the
// application's next SnmpRecvMsg.
constexpr uint32_t kRetryInterval = 10;
constexpr uint64_t kRetryPeriod = 1001 * kRetryInterval;

bool post(const Session& session) {
  switch (session.notificationMode) {
    case SNMPAPI_NOTIFY_WINDOW:
      return PostMessage(reinterpret_cast<HWND>(session.notificationTarget), session.notificationMessage, 0, 0);
    case SNMPAPI_NOTIFY_THREAD:
      return PostThreadMessage(static_cast<DWORD>(session.notificationTarget), session.notificationMessage, 0, 0);
    default:
      return true;
  }
}

void retryPosts(void* argument);

// The retry entry is keyed by the session, so that closing it can
// withdraw what is still pending; no entity ever has a session's address.
[[nodiscard]] uint32_t scheduleRetry(Session& session) {
  return addTimer(kRetryInterval, {retryPosts, &session}, &session, nullptr, 0, 0);
}

// Posts what is owed, one success at a time. Runs on the timer thread,
// so a session closing waits for it to return.
void retryPosts(void* argument) {
  auto* session = static_cast<Session*>(argument);
  if (!isLiveSession(session)) return;  // closing: it forgets the rest
  PostRetry& retry = session->postRetry;
  while (retry.unposted.load() > 0 && post(*session)) {
    retry.unposted.fetch_sub(1);
    retry.giveUpAt.store(GetTickCount64() + kRetryPeriod);
  }
  if (retry.unposted.load() > 0) {
    if (GetTickCount64() < retry.giveUpAt.load() && scheduleRetry(*session) == 0) return;
    retry.unposted.store(0);
  }
  retry.scheduled.store(false);
  // A notification that failed while the flag was still set found a retry
  // under way; it is this one's to post.
  if (retry.unposted.load() > 0 && !retry.scheduled.exchange(true)) {
    retry.giveUpAt.store(GetTickCount64() + kRetryPeriod);
    if (scheduleRetry(*session)) retry.scheduled.store(false);
  }
}

}  // namespace

void notifyApplication(Session& session) {
  if (post(session)) return;
  PostRetry& retry = session.postRetry;
  retry.unposted.fetch_add(1);
  if (retry.scheduled.exchange(true)) return;
  retry.giveUpAt.store(GetTickCount64() + kRetryPeriod);
  // Out of memory: no retry; the item still waits in its queue.
  if (scheduleRetry(session)) retry.scheduled.store(false);
}

void forgetUnpostedNotifications(Session& session) {
  TimerList::consume(timers().withdrawEntity(&session), [](TimerEntry&) {});
  session.postRetry.unposted.store(0);
  session.postRetry.scheduled.store(false);
}

}  // namespace netmgr
