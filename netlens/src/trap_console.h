// The trap console: every trap the manager library delivers to the browser
// (its own session, registered for all traps, message 1026), shown as a
// small tree of its fields and bindings, counted, and announced by the
// alarm in the main window's status bar until the user acknowledges it.
#pragma once

#include "winsnmp.h"

#include "platform/gui_bridge.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QTreeWidget;

namespace netlens {

class BrowserHost;

// The alarm in the main window's status bar.
enum TrapAlarmState { alarmQuiet = 0, alarmRinging = 1, alarmAcknowledged = 2 };

struct TrapAlarm {
  TrapAlarmState state = alarmQuiet;
  bool flash = true;  // the flash phase while ringing
};

// What the console asks of the main window, which keeps and draws the
// alarm and owns the trap preferences.
class TrapConsoleHost {
 public:
  virtual TrapAlarm& trapAlarm() = 0;
  virtual void drawTrapAlarm() = 0;
  virtual bool popupOnTrap() const = 0;
  virtual bool beepOnTrap() const = 0;
  // Tells the user in the status bar, showing a hidden one when neither
  // a pop-up nor a beep announces traps.
  virtual void trapReceivedFrom(const QString& agent) = 0;

 protected:
  ~TrapConsoleHost() = default;
};

class TNotificationConsole : public QWidget {
  Q_OBJECT

 public:
  static constexpr UINT kNotifyMessage = WM_USER + 2;

  TNotificationConsole(BrowserHost& browser, TrapConsoleHost& host, QWidget* owner);
  ~TNotificationConsole() override;

  void SpeedButtonAcknowledgeClick();
  void SpeedButtonClearClick();
  // Shows the count and brings the console to the front.
  void showConsole();

  bool registered() const { return registered_; }
  int trapCount() const { return trapCount_; }
  bool flashing() const { return TimerAlarmFlush.isActive(); }
  QString statusText() const;
  QTreeWidget* tree() const { return NotifyTreeView; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createToolbar(BrowserHost& browser);
  void startLibrary();
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void notificationArrived();
  void showTrap(HSNMP_ENTITY source, HSNMP_ENTITY destination, HSNMP_CONTEXT context, HSNMP_VBL bindings);
  void ringAlarm(const QString& agent);
  void flashTick();
  void showCount();
  void pumpPlatformMessages();

  TrapConsoleHost& host_;
  platform::gui::BridgedWindow window_;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY localEntity_ = nullptr;
  HSNMP_ENTITY remoteEntity_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  bool started_ = false;
  bool registered_ = false;
  int trapCount_ = 0;
  QTimer TimerAlarmFlush;
  QTimer platformPump_;

  QTreeWidget* NotifyTreeView;
  QLabel* statusPanel_;
};

}  // namespace netlens
