// Bridged windows: a carrier that turns posts and sends to their handles
// into Qt events for the object behind the handle.
#include "platform/gui_bridge.h"

#include "platform/waits.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::gui {
namespace {

// The answer to a message sent from another thread. It is finished once:
// by the procedure's result, or with 0 when the message is dropped unread
// (its window was destroyed first).
class Reply {
 public:
  Reply() : done_(CreateEvent(nullptr, TRUE, FALSE, nullptr)) {}
  ~Reply() {
    if (done_) CloseHandle(done_);
  }
  Reply(const Reply&) = delete;
  Reply& operator=(const Reply&) = delete;

  bool valid() const { return done_ != nullptr; }
  void finish(LRESULT result) {
    if (finished_.exchange(true)) return;
    result_ = result;
    SetEvent(done_);
  }
  // Waits for the answer while answering messages sent to this thread, so
  // that two threads sending to each other do not wait for ever. 0 when
  // the wait itself fails (the thread was terminated).
  LRESULT await() {
    for (;;) {
      DWORD woken = MsgWaitForMultipleObjects(1, &done_, FALSE, INFINITE, QS_SENDMESSAGE);
      if (woken == WAIT_OBJECT_0) return result_;
      if (woken != WAIT_OBJECT_0 + 1) return 0;
      MSG ignored;
      PeekMessage(&ignored, nullptr, 0, 0, PM_NOREMOVE);  // answers the sent messages
    }
  }

 private:
  HANDLE done_;
  std::atomic<bool> finished_{false};
  LRESULT result_ = 0;
};

class MessageEvent final : public QEvent {
 public:
  static Type kind() {
    static const Type registered = static_cast<Type>(QEvent::registerEventType());
    return registered;
  }
  MessageEvent(UINT message, WPARAM wParam, LPARAM lParam, std::shared_ptr<Reply> reply)
      : QEvent(kind()), message(message), wParam(wParam), lParam(lParam), reply(std::move(reply)) {}
  ~MessageEvent() override {
    if (reply) reply->finish(0);
  }

  const UINT message;
  const WPARAM wParam;
  const LPARAM lParam;
  // Set for a message sent from another thread; the procedure's result is
  // kept in `result` as well.
  const std::shared_ptr<Reply> reply;
  LRESULT result = 0;
};

class QtWindowCarrier final : public WindowCarrier {
 public:
  static QtWindowCarrier& instance() {
    // Never destroyed: other threads may post while the process exits.
    static QtWindowCarrier* carrier = [] {
      auto* made = new QtWindowCarrier;
      installWindowCarrier(made);
      return made;
    }();
    return *carrier;
  }

  void add(HWND handle, BridgedWindow* window) {
    std::lock_guard guard(lock_);
    windows_[handle] = window;
  }
  void remove(HWND handle) {
    std::lock_guard guard(lock_);
    windows_.erase(handle);
  }

  bool carries(HWND handle) override {
    std::lock_guard guard(lock_);
    return windows_.count(handle) != 0;
  }

  // Held, the lock keeps the window from being destroyed (its destructor
  // removes it first), and postEvent may be called from any thread.
  BOOL post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) override {
    std::lock_guard guard(lock_);
    auto found = windows_.find(handle);
    if (found == windows_.end()) return FALSE;
    QCoreApplication::postEvent(found->second, new MessageEvent(message, wParam, lParam, nullptr));
    return TRUE;
  }

  LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) override {
    std::unique_lock guard(lock_);
    auto found = windows_.find(handle);
    if (found == windows_.end()) return 0;
    BridgedWindow* window = found->second;
    if (window->thread() == QThread::currentThread()) {
      // Only this thread can destroy the window, so it outlives the call.
      guard.unlock();
      MessageEvent direct(message, wParam, lParam, nullptr);
      QCoreApplication::sendEvent(window, &direct);
      return direct.result;
    }
    auto reply = std::make_shared<Reply>();
    if (!reply->valid()) return 0;
    QCoreApplication::postEvent(window, new MessageEvent(message, wParam, lParam, reply));
    guard.unlock();
    return reply->await();
  }

 private:
  std::mutex lock_;
  std::unordered_map<HWND, BridgedWindow*> windows_;
};

}  // namespace

BridgedWindow::BridgedWindow(Procedure procedure, QObject* parent)
    : QObject(parent), handle_(allocateCarriedWindow()), procedure_(std::move(procedure)) {
  QtWindowCarrier::instance().add(handle_, this);
}

BridgedWindow::~BridgedWindow() { QtWindowCarrier::instance().remove(handle_); }

bool BridgedWindow::event(QEvent* event) {
  if (event->type() != MessageEvent::kind()) return QObject::event(event);
  auto* carried = static_cast<MessageEvent*>(event);
  carried->result = procedure_ ? procedure_(handle_, carried->message, carried->wParam, carried->lParam) : 0;
  if (carried->reply) carried->reply->finish(carried->result);
  return true;
}

}  // namespace platform::gui
