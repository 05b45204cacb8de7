// The discovery window: finds the SNMP agents of a range of IPv4 addresses.
// One GetNext for the system group goes to every address at once, then the
// window waits a fixed number of timer ticks for the replies (message 1025
// on its own session) and lists every agent that answered.
#pragma once

#include "winsnmp.h"

#include "platform/gui_bridge.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace netlens {

class BrowserHost;

// One address of the range, with its own request id and remote entity.
struct DiscoveryTarget {
  smiINT32 requestId = 0;
  QString address;
  uint32_t number = 0;  // the address in host byte order
  HSNMP_ENTITY entity = nullptr;
  UINT port = 161;
  bool active = false;
  bool answered = false;
};

// The targets from `start` up to the last octet of `stop`: the first three
// octets are the start's, the stop's are not used. None when the last
// octet decreases or either text is no dotted IPv4 address.
std::vector<DiscoveryTarget> discoveryTargets(const QString& start, const QString& stop, UINT port);
// Timer ticks of 100 ms to wait for the replies: as long as the last
// request may be retried, (retransmits + 1) x timeout x 10, or 10 for 0.
int discoveryWaitTicks(smiUINT32 retransmits, smiUINT32 timeoutSeconds);

// A list column's designed caption and its sort direction (-1 or 1).
struct TColumnSortDescriptor {
  QString caption;
  int direction = -1;
  int index = 0;
};

class TFormDiscover : public QWidget {
  Q_OBJECT

 public:
  static constexpr UINT kNotifyMessage = WM_USER + 1;
  // Columns of the list.
  enum Column { name, address, community, port, upTime, contact, location, description, spareLeft, spareRight };

  TFormDiscover(BrowserHost& host, QWidget* owner);
  ~TFormDiscover() override;

  void SpeedButtonStartClick();
  void SpeedButtonRefreshClick();
  void SpeedButtonClearClick();
  void SpeedButtonCancelClick();
  void sortByColumn(int column);
  void clearHistories();

  bool waiting() const { return timer_.isActive(); }
  int remainingTicks() const { return remainingTicks_; }
  int totalTicks() const { return totalTicks_; }
  const std::vector<DiscoveryTarget>& targets() const { return targets_; }
  QString panelText(int panel) const;
  QTreeWidget* list() const { return DiscoverListView; }
  // The list's pop-up menu as it opens for an item.
  QMenu* preparePopupMenu(QTreeWidgetItem* item);

  QComboBox* ComboBoxStartDiscover;
  QComboBox* ComboBoxStopDiscover;
  QComboBox* EditCommunity;
  QComboBox* SNMPPortEdit;

 signals:
  // The user asked for an info window on an agent's address.
  void infoWindowRequested(const QString& address);

 protected:
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createToolbar();
  void createList();
  void createStatusBar();
  void createPopupMenu();
  bool startLibrary();
  bool prepareSharedEntities(const smiUINT32 retransmits, smiUINT32 timeoutSeconds);
  void sendQueries(smiUINT32 retransmits, smiUINT32 timeoutSeconds);
  bool sendRequest(const DiscoveryTarget& target);
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void replyArrived();
  void addAgent(const DiscoveryTarget& target, HSNMP_CONTEXT context, HSNMP_VBL bindings);
  bool listed(const QString& address, const QString& community, UINT port) const;
  void timerTick();
  void setBusy(bool busy);
  void showCounts();
  void addBoxTextsToHistories();
  void copyMainHistories();
  void loadSettings();
  void saveSettings();

  BrowserHost& host_;
  platform::gui::BridgedWindow window_;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY localEntity_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  bool started_ = false;
  std::vector<DiscoveryTarget> targets_;
  std::vector<TColumnSortDescriptor> sortDescriptors_;
  QTimer timer_;
  int remainingTicks_ = 0;
  int totalTicks_ = 0;
  int newAgents_ = 0;

  QTreeWidget* DiscoverListView;
  QToolButton* SpeedButtonStart;
  QToolButton* SpeedButtonRefresh;
  QToolButton* SpeedButtonCancel;
  QLabel* panels_[3];
  QProgressBar* progressBar_;
  QMenu* popupMenu_;
  QTreeWidgetItem* popupItem_ = nullptr;
};

}  // namespace netlens
