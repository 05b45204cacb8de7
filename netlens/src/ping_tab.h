// The main window's "Ping" tab: the host, the echo settings and the output
// pane. The settings are kept with the main window's. The tab holds the
// ICMP handle from the main window's creation to its end; a run's echo
// requests go out on a thread of their own, and their lines come back to
// the pane in order.
#pragma once

#include "platform/icmp.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace netlens {

class BrowserHost;
class PingRun;

class PingTab : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaximumCharacters = 35000;
  static constexpr int kTrimCharacters = 29000;
  static constexpr int kTrimLines = 500;

  PingTab(BrowserHost& host, QWidget* parent);
  ~PingTab() override;

  // "Start &Pinging", Enter or a double click in the host box: checks the
  // boxes and starts a run, unless one is running.
  void ButtonStartPingingClick();
  bool running() const { return run_ != nullptr; }
  // Appends a line to the pane, first dropping its oldest lines while it
  // holds kTrimCharacters or more, then while it holds more than
  // kTrimLines lines.
  void writeLine(const QString& line);

  QComboBox* EditPingHost;
  QPushButton* ButtonStartPinging;
  QLineEdit* EditPingBytes;
  QLineEdit* EditPingRequests;
  QLineEdit* EditPingTimeout;
  QCheckBox* CheckBoxPingDontFragment;
  QPlainTextEdit* MemoPingResults;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void runFinished();

  BrowserHost& host_;
  HANDLE icmp_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<PingRun> run_;
};

}  // namespace netlens
