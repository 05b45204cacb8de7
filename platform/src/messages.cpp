// Posting, sending, retrieving and dispatching messages.
#include "platform/messages.h"

#include "message_queue.h"
#include "platform/tick.h"
#include "published_windows.h"
#include "thread_record.h"
#include "wait_core.h"
#include "window_table.h"

#include <algorithm>
#include <atomic>
#include <vector>

using namespace platform::detail;

namespace {

struct CarrierList {
  std::mutex lock;
  std::vector<platform::WindowCarrier*> carriers;
};

CarrierList& carrierList() {
  static CarrierList* instance = [] {
    auto* list = new CarrierList;
    list->carriers.push_back(&processWindowCarrier());
    return list;
  }();
  return *instance;
}

platform::WindowCarrier* carrierOf(HWND window) {
  CarrierList& list = carrierList();
  std::lock_guard guard(list.lock);
  for (platform::WindowCarrier* carrier : list.carriers)
    if (carrier->carries(window)) return carrier;
  return nullptr;
}

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, GetTickCount(), {0, 0}};
}

// Waits for the answer, answering messages sent to the caller meanwhile
// (two threads that send to each other would wait for ever otherwise).
void awaitAnswer(const std::shared_ptr<SentMessage>& sent, DWORD timeout) {
  struct Answer final : Waitable {
    explicit Answer(SignalFlag& flag) : flag(flag) {}
    int descriptor() const noexcept override { return flag.descriptor(); }
    bool acquire() noexcept override { return flag.isSet(); }
    SignalFlag& flag;
  };
  std::shared_ptr<Waitable> answer = std::make_shared<Answer>(sent->done);
  WaitRequest request;
  request.objects = {&answer, 1};
  waitAnsweringSent(request, timeout);
}

// False when no answer came (in time).
bool sendToOtherThread(const Window& window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout,
                       LRESULT& answer) {
  std::shared_ptr<MessageQueue> queue = window.queue.lock();
  if (!queue) return false;
  auto sent = std::make_shared<SentMessage>();
  sent->window = window.handle;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  if (!sent->done.valid() || !queue->deliverSent(sent)) return false;
  awaitAnswer(sent, timeout);
  if (!sent->done.isSet()) return false;
  answer = sent->result;
  return true;
}

// Local windows first, then the carriers. False when the window does not
// exist or no answer came (in time).
bool sendWithin(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout, LRESULT& answer) {
  answer = 0;
  std::shared_ptr<Window> window = findWindow(handle);
  if (!window) {
    platform::WindowCarrier* carrier = carrierOf(handle);
    return carrier && carrier->sendWithin(handle, message, wParam, lParam, timeout, answer);
  }
  if (window->ownerThread == GetCurrentThreadId()) {
    answer = window->procedure ? window->procedure(handle, message, wParam, lParam) : 0;
    return true;
  }
  try {
    return sendToOtherThread(*window, message, wParam, lParam, timeout, answer);
  } catch (...) {
    return false;
  }
}

void answerSent(SentMessage& sent) {
  sent.result = callOwnWindow(sent.window, sent.message, sent.wParam, sent.lParam);
  sent.done.set();
}

}  // namespace

namespace platform::detail {

void answerSentMessages(MessageQueue& queue) {
  while (std::shared_ptr<SentMessage> sent = queue.takeSent()) answerSent(*sent);
}

void waitAnsweringSent(WaitRequest& request, DWORD timeout) {
  MessageQueue* own = existingCallingThreadQueue();
  request.queue = own;
  request.wakeMask = QS_SENDMESSAGE;
  uint64_t start = GetTickCount64();
  for (;;) {
    uint64_t elapsed = GetTickCount64() - start;
    if (timeout != INFINITE) request.timeout = elapsed >= timeout ? 0 : static_cast<DWORD>(timeout - elapsed);
    WaitResult result = waitFor(request);
    if (result.outcome != WaitOutcome::input) return;
    answerSentMessages(*own);
  }
}

}  // namespace platform::detail

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MessageQueue> queue = findQueue(threadId);
  return queue && queue->post(makeMessage(nullptr, message, wParam, lParam)) ? TRUE : FALSE;
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!handle) return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
  if (std::shared_ptr<Window> window = findWindow(handle)) {
    std::shared_ptr<MessageQueue> queue = window->queue.lock();
    return queue && queue->post(makeMessage(handle, message, wParam, lParam)) ? TRUE : FALSE;
  }
  platform::WindowCarrier* carrier = carrierOf(handle);
  return carrier ? carrier->post(handle, message, wParam, lParam) : FALSE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  sendWithin(handle, message, wParam, lParam, INFINITE, answer);
  return answer;
}

LRESULT SendMessageTimeoutA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeout,
                            DWORD_PTR* result) {
  LRESULT answer = 0;
  bool answered = sendWithin(handle, message, wParam, lParam, timeout, answer);
  if (result) *result = static_cast<DWORD_PTR>(answer);
  return answered ? TRUE : FALSE;
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  MessageQueue* queue = callingThreadQueue();
  if (!queue || !message) return FALSE;
  if (currentThreadRecord().terminationRequested()) {
    *message = makeMessage(nullptr, WM_QUIT, 0, 0);
    return TRUE;
  }
  MessageFilter filter{window, filterMin, filterMax};
  bool remove = (removeFlags & PM_REMOVE) != 0;
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    if (queue->take(filter, remove, message, sent)) return TRUE;
    if (!sent) return FALSE;
    answerSent(*sent);
  }
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
  MessageQueue* queue = callingThreadQueue();
  if (!queue || !message) return -1;
  // The wait is for messages that pass the filter (and sent messages,
  // which PeekMessage answers); others stay queued without waking it.
  MessageFilter filter{window, filterMin, filterMax};
  for (;;) {
    if (PeekMessageA(message, window, filterMin, filterMax, PM_REMOVE))
      return message->message == WM_QUIT ? 0 : 1;
    WaitRequest request;
    request.queue = queue;
    request.wakeMask = QS_ALLINPUT;
    request.filter = &filter;
    WaitResult result = waitFor(request);
    if (result.outcome == WaitOutcome::failed && result.error != ECANCELED) return -1;
  }
}

LRESULT DispatchMessageA(const MSG* message) {
  if (!message) return 0;
  if (message->message == WM_TIMER && message->lParam) {
    auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
    procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
    return 0;
  }
  return callOwnWindow(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

BOOL IsWindow(HWND handle) {
  if (!handle) return FALSE;
  return findWindow(handle) || carrierOf(handle) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND handle, DWORD* processId) {
  if (processId) *processId = 0;
  std::shared_ptr<Window> window = handle ? findWindow(handle) : nullptr;
  return window ? window->ownerThread : 0;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
  if (!rect) return FALSE;
  if (std::shared_ptr<Window> window = findWindow(handle)) {
    *rect = window->client;
    return TRUE;
  }
  platform::WindowCarrier* carrier = carrierOf(handle);
  return carrier ? carrier->clientRect(handle, rect) : FALSE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure) {
  MessageQueue* queue = callingThreadQueue();
  if (!queue) return 0;
  if (window) {
    std::shared_ptr<Window> owner = findWindow(window);
    if (!owner || owner->ownerThread != queue->threadId()) return 0;
  }
  return queue->setTimer(window, timerId, elapse, procedure, GetTickCount64());
}

BOOL KillTimer(HWND window, UINT_PTR timerId) {
  MessageQueue* queue = existingCallingThreadQueue();
  return queue && queue->killTimer(window, timerId) ? TRUE : FALSE;
}

namespace platform {

HWND allocateCarriedWindow() {
  static std::atomic<uintptr_t> next{kFirstCarriedWindow};
  return reinterpret_cast<HWND>(next.fetch_add(1));
}

void installWindowCarrier(WindowCarrier* carrier) {
  CarrierList& list = carrierList();
  std::lock_guard guard(list.lock);
  if (carrier && std::find(list.carriers.begin(), list.carriers.end(), carrier) == list.carriers.end())
    list.carriers.push_back(carrier);
}

void removeWindowCarrier(WindowCarrier* carrier) {
  CarrierList& list = carrierList();
  std::lock_guard guard(list.lock);
  std::erase(list.carriers, carrier);
}

}  // namespace platform
