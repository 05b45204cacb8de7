// One compiler window per user: a second start hands its file to the
// running instance, whose hidden window (class "Orvane MIB Compiler
// Class", title "Orvane MIB Compiler Wnd") receives it as WM_COPYDATA (the
// path with its terminating zero, dwData 0) and compiles it.
//
// Until windows can be found across processes, the copy-data message
// travels over a local socket in the runtime directory, owner-only; a
// lock file there tells whether an instance runs.
#pragma once

#include "platform/gui_bridge.h"

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>

namespace modforge {

inline constexpr char kInstanceWindowClass[] = "Orvane MIB Compiler Class";
inline constexpr char kInstanceWindowTitle[] = "Orvane MIB Compiler Wnd";

// The folder of the lock and the socket: $ORVANE_RUNTIME_DIR, else
// $XDG_RUNTIME_DIR/orvane, else the toolkit's per-user runtime folder.
QString runtimeFolder();

class SingleInstance final : public QObject {
 public:
  using FileHandler = std::function<void(const QString& path)>;

  SingleInstance();
  ~SingleInstance() override;

  // True when no other instance runs; this one then answers later starts
  // by calling `handler` with each file handed over (empty: none named).
  [[nodiscard]] bool becomeTheInstance(FileHandler handler);

  // Hands `path` to the running instance; false when it cannot be reached.
  [[nodiscard]] static bool handOver(const QString& path);

  // The hidden window that receives the files.
  HWND window() const { return window_ ? window_->handle() : nullptr; }

 private:
  void answer(class QLocalSocket* connection);
  LRESULT receive(UINT message, LPARAM lParam);

  QLockFile lock_;
  QLocalServer server_;
  std::unique_ptr<platform::gui::BridgedWindow> window_;
  FileHandler handler_;
};

}  // namespace modforge
