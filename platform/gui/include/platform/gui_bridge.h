// The GUI bridge: window handles whose messages arrive in a Qt event loop,
// and message boxes shown as real dialogs. Only the windowed programs link
// this; the libraries below them post and send to a bridged handle as to
// any other window and never see Qt.
#pragma once

#include "platform/messages.h"

#include <QObject>
#include <functional>

namespace platform::gui {

// A window handle whose posted and sent messages are handled by
// `procedure` on the thread this object lives in, inside that thread's Qt
// event loop. Posted messages arrive in the order each thread posted them.
// A message sent from another thread waits for the answer (answering what
// is sent to the sender meanwhile); sent from the object's own thread it is
// a direct call. Once the object is destroyed the handle is no window:
// posts fail, and senders still waiting get 0.
class BridgedWindow final : public QObject {
 public:
  using Procedure = std::function<LRESULT(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;

  explicit BridgedWindow(Procedure procedure, QObject* parent = nullptr);
  ~BridgedWindow() override;
  BridgedWindow(const BridgedWindow&) = delete;
  BridgedWindow& operator=(const BridgedWindow&) = delete;

  HWND handle() const { return handle_; }

 protected:
  bool event(QEvent* event) override;

 private:
  HWND handle_;
  Procedure procedure_;
};

// From now on every MessageBox of the process is a modal Qt dialog over
// the active window, shown on the GUI thread (a caller on another thread
// waits for the answer). Needs a QApplication; without one, or once it is
// gone, boxes go to stderr as before.
void installMessageBoxDialogs();

}  // namespace platform::gui
