// An info window: polls one agent every so many seconds for a part of its
// MIB (the system group and interface summary, one subtree, or chosen
// rows of one table) and shows the last complete poll as rows of name,
// syntax and value. It owns a session of its own (message 1026).
#pragma once

#include "agent_request.h"
#include "info_ranges.h"
#include "status_light.h"

#include "platform/gui_bridge.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QMenu;
class QSpinBox;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace netlens {

class TZormNL32;

class TInfoForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr UINT kNotifyMessage = WM_USER + 2;
  static constexpr int kMinimumInterval = 5;
  static constexpr int kMaximumInterval = 7200;
  static constexpr int kDefaultInterval = 60;
  enum Kind { standardKind = 0, subtreeKind = 1, tableKind = 2 };
  // Status panels besides the light (panel 0).
  enum Panel { secondsPanel = 1, agentPanel, communityPanel, portPanel, pollsPanel, messagePanel, panelCount };

  struct Setup {
    int slot = 0;
    Kind kind = standardKind;
    QString root;      // subtree and table windows: the node's name, or kWholeMibRoot
    QString entryOid;  // table windows: the Entry's OID text
    QStringList indexes;
    QString agent;
    QString community;
    UINT port = 161;
    bool polling = true;  // "Poll every" at the start
  };

  // Opens the window's session and starts polling at once.
  TInfoForm(TZormNL32& owner, const Setup& setup);
  ~TInfoForm() override;

  int slot() const { return setup_.slot; }
  Kind kind() const { return setup_.kind; }
  QString agent() const { return setup_.agent; }
  QString caption() const { return QStringLiteral("Info ") + QString::number(setup_.slot + 1); }

  // "Poll every": polls on the timer while checked.
  void setPolling(bool polling);
  bool polling() const;
  void RefreshNowClick();
  // The "Agent Properties" dialog; OK applies its values.
  void showAgentProperties();
  // Takes a new agent, community and port, rebuilds the session's
  // entities and polls again.
  void applyAgent(const QString& agent, const QString& community, UINT port);
  // The pop-up of a row: "&Set", then the node's properties.
  QMenu* prepareRowPopup(QTreeWidgetItem* item);

  QTreeWidget* rows() const { return ListViewInfo; }
  QSpinBox* intervalBox() const { return EditInterval; }
  TSemaphoreState lightState() const { return semaphore_.SemaphoreState(); }
  QString panelText(int panel) const;
  int pollsCompleted() const { return pollsCompleted_; }
  bool pollComplete() const { return pollComplete_; }

 signals:
  void closed(TInfoForm* window);
  void agentChanged(TInfoForm* window);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    QString name;
    QString syntax;
    QString value;
    RowImage image;
  };

  void createControls();
  QStatusBar* createStatusBar();
  bool startLibrary();
  void prepareRanges();
  void applyMinimumInterval(const SessionPolicy& policy);
  void timerTick();
  void startPoll();
  void sendRequest();
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void answerArrived(WPARAM error);
  void pollTimedOut();
  void takeBindings(HSNMP_VBL bindings);
  bool takeBinding(const smiOID& name, const smiVALUE& value);
  bool nextRange();
  void completePoll();
  void showRows();
  void setPanel(int panel, const QString& text);
  void setLight(TSemaphoreState state);
  void updateCaption();
  bool localAgent() const;
  void showRowPopup(const QPoint& position);

  TZormNL32& owner_;
  Setup setup_;
  platform::gui::BridgedWindow window_;
  TAgentRequest request_;
  TSemaphore semaphore_;
  QTimer pollTimer_;
  std::vector<WalkRange> ranges_;
  size_t currentRange_ = 0;
  std::vector<Row> collected_;
  int secondsLeft_ = 0;
  int pollsCompleted_ = 0;
  bool pollComplete_ = true;
  bool started_ = false;

  QCheckBox* CheckBoxPoll;
  QSpinBox* EditInterval;
  QTreeWidget* ListViewInfo;
  QLabel* panels_[panelCount] = {};
};

}  // namespace netlens
