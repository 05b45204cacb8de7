// Registering clients and forwarding records to them.
#include "trap_forwarding.h"

#include "notifyd/trap_server.h"
#include "platform/process_windows.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace notifyd {
namespace {

// A client that does not take a record within this time misses it; it
// stays registered, since it may only be busy.
constexpr UINT kForwardTimeout = 5000;

TrapForwarding* active = nullptr;

}  // namespace

TrapForwarding::~TrapForwarding() {
  if (window_) DestroyWindow(window_);
  UnregisterClass(trapserver::kServerClass, nullptr);
  active = nullptr;
}

bool TrapForwarding::createWindow() {
  active = this;
  requestMessage_ = RegisterWindowMessage(trapserver::kInterApplicationMessage);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = trapserver::kServerClass;
  if (!RegisterClass(&windowClass)) return false;
  window_ = CreateWindow(trapserver::kServerClass, trapserver::kServerTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  return window_ && platform::publishWindow(window_);
}

LRESULT CALLBACK TrapForwarding::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (active && message == active->requestMessage_) return active->answerRequest(wParam, lParam);
  return DefWindowProc(window, message, wParam, lParam);
}

// Registering the same window again gives its identifier again.
LRESULT TrapForwarding::answerRequest(WPARAM request, LPARAM parameter) {
  if (request == trapserver::kRegister) {
    auto client = reinterpret_cast<HWND>(parameter);
    auto known = std::find_if(registrations_.begin(), registrations_.end(),
                              [client](const Registration& registration) { return registration.window == client; });
    if (known != registrations_.end()) return known->identifier;
    if (!IsWindow(client)) {
      std::fprintf(stderr, "notifyd: refused to register %p, which is not a window\n", static_cast<void*>(client));
      return 0;
    }
    registrations_.push_back({nextIdentifier_, client});
    std::fprintf(stderr, "notifyd: registered window %p as %ld\n", static_cast<void*>(client),
                 static_cast<long>(nextIdentifier_));
    return nextIdentifier_++;
  }
  if (request == trapserver::kUnregister) {
    drop(parameter, "unregistered");
    return 1;
  }
  return 0;
}

void TrapForwarding::drop(LRESULT identifier, const char* why) {
  auto gone = std::find_if(registrations_.begin(), registrations_.end(),
                           [identifier](const Registration& registration) { return registration.identifier == identifier; });
  if (gone == registrations_.end()) return;
  std::fprintf(stderr, "notifyd: registration %ld (window %p) %s\n", static_cast<long>(identifier),
               static_cast<void*>(gone->window), why);
  registrations_.erase(gone);
}

// Clients may register while a record is on its way (the send answers
// what is sent to this thread meanwhile), so the loop walks a copy.
void TrapForwarding::forward(const Record& record) {
  COPYDATASTRUCT block{0, static_cast<DWORD>(record.octets.size()), const_cast<uint8_t*>(record.octets.data())};
  std::vector<Registration> clients = registrations_;
  for (const Registration& client : clients) {
    DWORD_PTR accepted = FALSE;
    if (SendMessageTimeout(client.window, WM_COPYDATA, reinterpret_cast<WPARAM>(window_),
                           reinterpret_cast<LPARAM>(&block), SMTO_ABORTIFHUNG, kForwardTimeout, &accepted)) {
      if (accepted) ++forwarded_;
    } else if (!IsWindow(client.window)) {
      drop(client.identifier, "dropped: the window is gone");
    } else {
      std::fprintf(stderr, "notifyd: window %p did not take a trap within %u ms\n", static_cast<void*>(client.window),
                   kForwardTimeout);
    }
  }
}

void TrapForwarding::run() {
  MSG message;
  while (GetMessage(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kStopMessage) return;
    if (message.hwnd == nullptr && message.message == kRecordMessage) {
      std::unique_ptr<Record> record(reinterpret_cast<Record*>(message.lParam));
      listener_.recordTaken();
      forward(*record);
      continue;
    }
    DispatchMessage(&message);
  }
}

}  // namespace notifyd
