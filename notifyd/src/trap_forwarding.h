// The server window: registrations of client windows, and the forwarding
// of every trap record to each of them.
#pragma once

#include "trap_listener.h"

#include "platform/messages.h"

#include <cstdint>
#include <vector>

namespace notifyd {

class TrapForwarding {
 public:
  explicit TrapForwarding(TrapListener& listener) : listener_(listener) {}
  TrapForwarding(const TrapForwarding&) = delete;
  TrapForwarding& operator=(const TrapForwarding&) = delete;
  ~TrapForwarding();

  // Creates and publishes the server window. False when it cannot be had.
  bool createWindow();
  HWND window() const { return window_; }
  // Runs the message loop until the listener's kStopMessage.
  void run();

  uint64_t forwarded() const { return forwarded_; }

 private:
  struct Registration {
    LRESULT identifier;
    HWND window;
  };

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT answerRequest(WPARAM request, LPARAM parameter);
  void forward(const Record& record);
  void drop(LRESULT identifier, const char* why);

  TrapListener& listener_;
  HWND window_ = nullptr;
  UINT requestMessage_ = 0;
  std::vector<Registration> registrations_;
  LRESULT nextIdentifier_ = 1;
  uint64_t forwarded_ = 0;
};

}  // namespace notifyd
