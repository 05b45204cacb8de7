// The MIB browser's main window: the toolbar, the Query, MIB, Ping and
// Preferences tabs, the status bar with its light, and the menus. It shows
// the MIB tree of every loaded module, walks an agent from any node of it
// with its own session (message 1025), and opens the secondary windows.
#pragma once

#include "agent_request.h"
#include "browser_host.h"
#include "history_lists.h"
#include "query_state.h"
#include "status_light.h"
#include "trap_console.h"

#include "platform/gui_bridge.h"
#include "wsm.h"

#include <QMainWindow>

#include <map>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QTreeWidgetItem;

namespace netlens {

class MibTab;
class PingTab;
class PreferencesTab;
class QueryTab;
class StatusPanelLabel;
class StatusTextPanel;
class TFormAbout;
class TFormDiscover;
class TFormMibSet;
class TFormNodeInfo;
class TFormTableIndex;
class TInfoForm;

class TZormNL32 : public QMainWindow, public BrowserHost, public TrapConsoleHost {
  Q_OBJECT

 public:
  static constexpr UINT kNotifyMessage = WM_USER + 1;
  // Lines the results pane holds; beyond them the oldest go.
  static constexpr int kResultLineCapacity = 30000;
  // What each MIB tree item keeps: its node, and the images it shows (the
  // image of the tree image list and its overlay).
  static constexpr int kNodeRole = Qt::UserRole;
  static constexpr int kImageRole = Qt::UserRole + 1;
  static constexpr int kOverlayRole = Qt::UserRole + 2;

  // Creates the window and its secondary windows, loads the settings and
  // the remembered modules, and starts the manager library. When the
  // library does not start, the user is told and started() is false.
  explicit TZormNL32(QWidget* parent = nullptr);
  ~TZormNL32() override;
  bool started() const { return started_; }

  // BrowserHost.
  HistoryLists& histories() override { return histories_; }
  QComboBox& historyBox(SharedHistory which) override;
  QString managerAddress() const override;
  std::optional<SessionPolicy> sessionPolicy() override;
  void addResultLine(const QString& line) override;
  void bringToFront() override;

  // TrapConsoleHost.
  TrapAlarm& trapAlarm() override { return trapAlarm_; }
  void drawTrapAlarm() override;
  bool popupOnTrap() const override;
  bool beepOnTrap() const override;
  void trapReceivedFrom(const QString& agent) override;

  // The commands of the toolbar, the menus and the pop-up menus.
  void SpeedButtonContactClick();
  void SpeedButtonQueryClick();
  void SpeedButtonAbortClick();
  void SpeedButtonClearClick();
  void SpeedButtonCopyClipboardClick();
  void SpeedButtonSetClick();
  void SpeedButtonMibNodeInfoClick();
  void RunCompilerSpeedButtonClick();
  void SpeedButtonHelpClick();
  void refreshModuleLists();
  void loadSelectedModules();
  void loadAllModules();
  void unloadSelectedModules();
  void unloadAllModules();
  void closeAllWindows();
  void clearAllHistories();

  TQueryState queryState() const { return queryState_; }
  int requestCount() const { return requestCount_; }
  QString statusText() const;
  TSemaphore& light() { return semaphore_; }
  QueryTab* queryTab() const { return queryTab_; }
  MibTab* mibTab() const { return mibTab_; }
  PreferencesTab* preferencesTab() const { return preferencesTab_; }
  QTabWidget* pages() const { return PageControl; }
  TFormMibSet* setWindow() const { return setWindow_; }
  TFormNodeInfo* nodeInfoWindow() const { return nodeInfoWindow_; }
  TFormAbout* aboutWindow() const { return aboutWindow_; }
  TFormDiscover* discoverWindow() const { return discoverWindow_; }
  TNotificationConsole* trapConsole() const { return trapConsole_; }
  // The tree pop-up menu as it would open for a node (for its items).
  QMenu* preparePopupMenu(QTreeWidgetItem* item);

  // Info windows: at most kMaximumInfoWindows at a time, each in a slot.
  static constexpr int kInfoWindowSlots = 61;
  static constexpr int kMaximumInfoWindows = 60;
  // Opens an info window of `kind` (TInfoForm::Kind) in the first free
  // slot, for `agent` or the agent box's text; null while the limit is
  // reached.
  TInfoForm* openInfoWindow(int kind, const QString& root = QString(), const QString& entryOid = QString(),
                            const QStringList& indexes = QStringList(), const QString& agent = QString());
  void newInfoWindow();
  int infoWindowCount() const;
  TInfoForm* infoWindow(int slot) const { return infoForms_[slot]; }
  TFormTableIndex* tableIndexWindow() const { return tableIndexWindow_; }
  void showTableIndexWindow(HWSM_NODE node);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window.
  void createActions();
  void createMenus();
  void createToolbar();
  void createStatusBar();
  void createTabs();
  void connectControls();
  QAction* addCommand(const char* name, const QString& caption, const QKeySequence& shortcut,
                      void (TZormNL32::*handler)());
  void startNetworking();
  void startLibrary();

  // Settings.
  void loadSettings();
  void saveSettings();
  void reloadRememberedModules();
  void applyPreferences();
  void applyTimeoutAndRetransmits();
  void applyCapacity();
  void rememberBoxTexts();

  // Queries.
  void enterState(TQueryState state);
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void answerArrived(WPARAM error);
  void requestTimedOut();
  void printTrap(HSNMP_VBL bindings, HSNMP_ENTITY source);
  bool takeBindings(HSNMP_VBL bindings);
  void sendWalkRequest();
  void restoreSplitForResults();
  bool openSessionFromPreferences();
  void agentTextChanged(const QString& text);
  // The SNMP version remembered for an agent, shown in the query tab, and
  // remembered again when the box is changed.
  void showAgentVersion(const QString& agent);
  void rememberAgentVersion(bool snmpV2c);

  // The MIB tree.
  void buildMibTree();
  void treeSelectionChanged();
  void showTreePopup(const QPoint& position);
  void showNodeProperties(HWSM_NODE node);
  void showPathOrContentsItem(const QString& caption);
  HWSM_NODE selectedNode() const;
  HWSM_NODE nodeOfItem(QTreeWidgetItem* item) const;
  void showSetWindow(HWSM_NODE node);
  void toggleTreeSize();
  void toggleResultsSize();
  void sizeStateChanged(int state);
  void updateSizeArrow();

  // The module lists.
  void loadModules(const QList<QTreeWidgetItem*>& items);
  void unloadModules(const QList<QTreeWidgetItem*>& items);
  void addLoadedItem(const QString& identity);
  void fitModuleColumns();
  void showModulePopup(bool loadedList, const QPoint& position);
  void availableItemActivated();

  // Secondary windows and help.
  void showDiscoverWindow();
  void showTrapConsole();
  void showIndexTableWindow();
  void showAbout();
  void confirmClearAllHistories();
  void connectInfoWindowCommands();
  void infoWindowClosed(TInfoForm* window);
  void infoWindowAgentChanged(TInfoForm* window);
  void closeInfoWindows();
  // Along the bottom of the screen, left to right, rows going up; in slot
  // order or reversed; minimized windows keep their place.
  void arrangeInfoWindows(bool reverse);
  void ArrangeClick() { arrangeInfoWindows(false); }
  void ArrangeReverseClick() { arrangeInfoWindows(true); }
  void setInfoWindowsMinimized(bool minimized);
  void MinimizeAllClick() { setInfoWindowsMinimized(true); }
  void RestoreAllClick() { setInfoWindowsMinimized(false); }

  platform::gui::BridgedWindow window_;
  TAgentRequest request_;
  TSemaphore semaphore_;
  HistoryLists histories_;
  TQueryState queryState_ = qsInitializing;
  int requestCount_ = 0;
  bool started_ = false;
  bool socketsStarted_ = false;
  bool applyingPreferences_ = false;
  QString helpFile_;
  QString rememberedAgent_;
  QString rememberedPingHost_;
  HWSM_NODE popupNode_ = 0;
  // Items that start the compiler instead of loading a module.
  bool noModulesAvailable_ = false;

  QToolBar* ToolBarPanel;
  QTabWidget* PageControl;
  QueryTab* queryTab_;
  MibTab* mibTab_;
  PingTab* pingTab_;
  PreferencesTab* preferencesTab_;
  StatusTextPanel* statusTextPanel_;
  QLabel* requestCountPanel_;
  StatusPanelLabel* sizeArrowPanel_;
  QLabel* trapAlarmPanel_;
  TFormMibSet* setWindow_ = nullptr;
  TFormNodeInfo* nodeInfoWindow_ = nullptr;
  TFormAbout* aboutWindow_ = nullptr;
  TFormDiscover* discoverWindow_ = nullptr;
  TNotificationConsole* trapConsole_ = nullptr;
  TrapAlarm trapAlarm_;
  std::map<QString, QAction*> actions_;
  QMenu* infoWindowsMenu_ = nullptr;
  TInfoForm* infoForms_[kInfoWindowSlots] = {};
  std::map<TInfoForm*, QAction*> infoMenuItems_;
  TFormTableIndex* tableIndexWindow_ = nullptr;
};

}  // namespace netlens
