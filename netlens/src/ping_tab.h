// The main window's "Ping" tab: the host, the echo settings and the output
// pane. The settings are kept with the main window's; the pinging itself
// is not part of this release, so "Start &Pinging" stays disabled.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace netlens {

class PingTab : public QWidget {
  Q_OBJECT

 public:
  explicit PingTab(QWidget* parent);

  QComboBox* EditPingHost;
  QPushButton* ButtonStartPinging;
  QLineEdit* EditPingBytes;
  QLineEdit* EditPingRequests;
  QLineEdit* EditPingTimeout;
  QCheckBox* CheckBoxPingDontFragment;
  QPlainTextEdit* MemoPingResults;
};

}  // namespace netlens
