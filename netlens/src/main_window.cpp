// The main window: its controls, its start-up, activation and end.
#include "main_window.h"

#include "about_window.h"
#include "artwork.h"
#include "browser_texts.h"
#include "discover_window.h"
#include "info_window.h"
#include "mib_tab.h"
#include "node_info_window.h"
#include "ping_tab.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "set_window.h"
#include "status_panels.h"
#include "table_index_window.h"
#include "web_pages.h"

#include "platform/message_box.h"
#include "platform/sockets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace netlens {
namespace {

// The first IPv4 address of this host's name, as the browser's own address.
QString localAddress() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return QString();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return QString();
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
  freeaddrinfo(found);
  return QString::fromLatin1(text);
}

}  // namespace

TZormNL32::TZormNL32(QWidget* parent)
    : QMainWindow(parent),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }),
      request_(window_.handle(), kNotifyMessage),
      semaphore_(this) {
  setObjectName(QStringLiteral("ZormNL32"));
  request_.setDeadlineHandler([this] { requestTimedOut(); });
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  setWindowIcon(artwork::listImage(18));
  createActions();
  createTabs();
  createMenus();
  createToolbar();
  createStatusBar();
  connectControls();
  connectInfoWindowCommands();

  PageControl->setCurrentWidget(queryTab_);
  statusTextPanel_->setText(QStringLiteral("Initializing..."));
  enterState(qsInitializing);
  startNetworking();
  loadSettings();
  startLibrary();
  if (!started_) return;
  enterState(qsNotContacted);
  refreshModuleLists();
  setWindow_ = new TFormMibSet(*this, this);
  nodeInfoWindow_ = new TFormNodeInfo(*this, this);
  aboutWindow_ = new TFormAbout(this);
  discoverWindow_ = new TFormDiscover(*this, this);
  connect(discoverWindow_, &TFormDiscover::infoWindowRequested, this,
          [this](const QString& address) { openInfoWindow(TInfoForm::standardKind, {}, {}, {}, address); });
  trapConsole_ = new TNotificationConsole(*this, *this, this);
}

TZormNL32::~TZormNL32() {
  // The secondary windows keep their own settings; they go first, while
  // the main window's histories they borrow still exist.
  closeInfoWindows();
  delete tableIndexWindow_;
  delete setWindow_;
  delete nodeInfoWindow_;
  delete discoverWindow_;
  if (started_) saveSettings();
  request_.closeSession();
  // The console stops the library for the whole process: it goes last.
  delete trapConsole_;
  SnmpCleanup();
  if (socketsStarted_) WSACleanup();
}

QAction* TZormNL32::addCommand(const char* name, const QString& caption, const QKeySequence& shortcut,
                               void (TZormNL32::*handler)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (handler) connect(action, &QAction::triggered, this, handler);
  actions_[QString::fromLatin1(name)] = action;
  return action;
}

void TZormNL32::createActions() {
  using T = TZormNL32;
  addCommand("actionNewInfoWindow", QStringLiteral("&New Info Window"), QKeySequence(Qt::CTRL | Qt::Key_N),
             &T::newInfoWindow);
  addCommand("actionCloseAll", QStringLiteral("Close Al&l Windows"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
             &T::closeAllWindows);
  connect(addCommand("actionExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_X), nullptr),
          &QAction::triggered, this, &QWidget::close);
  addCommand("actionCopy", QStringLiteral("&Copy Query Results"), QKeySequence(Qt::Key_Insert),
             &T::SpeedButtonCopyClipboardClick);
  addCommand("actionClear", QStringLiteral("C&lear Query Results"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
             &T::SpeedButtonClearClick);
  connect(addCommand("actionPreferences", QStringLiteral("&Preferences"), QKeySequence(Qt::CTRL | Qt::Key_F), nullptr),
          &QAction::triggered, this, [this] { PageControl->setCurrentWidget(preferencesTab_); });
  addCommand("actionContact", QStringLiteral("&Contact SNMP Agent"), QKeySequence(Qt::CTRL | Qt::Key_C),
             &T::SpeedButtonContactClick);
  addCommand("actionQuery", QStringLiteral("&Query SNMP Agent"), QKeySequence(Qt::CTRL | Qt::Key_Q),
             &T::SpeedButtonQueryClick);
  addCommand("actionSet", QStringLiteral("&Set Value in SNMP Agent"), QKeySequence(Qt::CTRL | Qt::Key_S),
             &T::SpeedButtonSetClick);
  addCommand("actionAbort", QStringLiteral("&Abort Current Operation"), QKeySequence(Qt::Key_Escape),
             &T::SpeedButtonAbortClick);
  addCommand("actionDiscover", QStringLiteral("&Discover SNMP Agents"), QKeySequence(Qt::CTRL | Qt::Key_D),
             &T::showDiscoverWindow);
  addCommand("actionPollInfo", QStringLiteral("&Poll Info Forms"), QKeySequence(Qt::CTRL | Qt::Key_P), nullptr)
      ->setCheckable(true);
  addCommand("actionNodeInfo", QStringLiteral("Show MIB Node &Info"), QKeySequence(Qt::Key_F3),
             &T::SpeedButtonMibNodeInfoClick);
  addCommand("actionCompiler", QStringLiteral("Run &MIB Compiler"), QKeySequence(Qt::Key_F4),
             &T::RunCompilerSpeedButtonClick);
  addCommand("actionRefresh", QStringLiteral("&Refresh MIB Modules List"), QKeySequence(Qt::Key_F5),
             &T::refreshModuleLists);
  addCommand("actionToolbar", QStringLiteral("&Toolbar"), QKeySequence(Qt::CTRL | Qt::Key_O), nullptr)
      ->setCheckable(true);
  addCommand("actionStatusBar", QStringLiteral("&Status Bar"), QKeySequence(Qt::CTRL | Qt::Key_B), nullptr)
      ->setCheckable(true);
  // The Window menu repeats some commands of the Action menu under their
  // shortcuts; one key can start only one command, so these only show it.
  addCommand("actionSetWindow", QStringLiteral("&Set Window\tCtrl+S"), QKeySequence(), &T::SpeedButtonSetClick);
  addCommand("actionDiscoverWindow", QStringLiteral("&Discover Window\tCtrl+D"), QKeySequence(), &T::showDiscoverWindow);
  addCommand("actionIndexTable", QStringLiteral("Index &Table Window"), QKeySequence(Qt::CTRL | Qt::Key_T),
             &T::showIndexTableWindow);
  addCommand("actionTrapRinger", QStringLiteral("Trap &Ringer Console"), QKeySequence(Qt::CTRL | Qt::Key_R),
             &T::showTrapConsole);
  addCommand("actionTreeSize", QStringLiteral("MI&B Tree Size"), QKeySequence(Qt::CTRL | Qt::Key_M),
             &T::toggleTreeSize);
  addCommand("actionResultsSize", QStringLiteral("&Query Results Size"), QKeySequence(Qt::CTRL | Qt::Key_Y),
             &T::toggleResultsSize);
  addCommand("actionArrange", QStringLiteral("&Arrange 1 .. Max"), QKeySequence(Qt::CTRL | Qt::Key_1),
             &T::ArrangeClick);
  addCommand("actionArrangeReverse", QStringLiteral("Arrange &Max .. 1"), QKeySequence(Qt::CTRL | Qt::Key_2),
             &T::ArrangeReverseClick);
  addCommand("actionMinimizeAll", QStringLiteral("Minimi&ze All"), QKeySequence(Qt::CTRL | Qt::Key_Z),
             &T::MinimizeAllClick);
  addCommand("actionRestoreAll", QStringLiteral("R&estore All"), QKeySequence(Qt::CTRL | Qt::Key_E),
             &T::RestoreAllClick);
  addCommand("actionHelpTopics", QStringLiteral("&Help Topics"), QKeySequence(Qt::Key_F1), &T::SpeedButtonHelpClick);
  addCommand("actionAbout", QStringLiteral("&About ..."), QKeySequence(Qt::CTRL | Qt::Key_A), &T::showAbout);
  addCommand("actionAgentInfo", QStringLiteral("Show Remote SNMP Agent Info"), QKeySequence(), &T::newInfoWindow);
}

void TZormNL32::createMenus() {
  auto menu = [this](const QString& title, std::initializer_list<const char*> names) {
    QMenu* added = menuBar()->addMenu(title);
    for (const char* name : names) {
      if (!*name) added->addSeparator();
      else added->addAction(actions_.at(QString::fromLatin1(name)));
    }
    return added;
  };
  menu(QStringLiteral("&File"), {"actionNewInfoWindow", "actionCloseAll", "", "actionExit"});
  menu(QStringLiteral("&Edit"), {"actionCopy", "actionClear", "", "actionPreferences"});
  menu(QStringLiteral("A&ction"), {"actionContact", "actionQuery", "actionSet", "actionAbort", "", "actionDiscover",
                                   "actionPollInfo", "", "actionNodeInfo", "actionCompiler", "actionRefresh"});
  menu(QStringLiteral("&View"), {"actionToolbar", "actionStatusBar"});
  QMenu* windows = menu(QStringLiteral("&Window"), {"actionSetWindow", "actionDiscoverWindow", "actionIndexTable",
                                                    "actionTrapRinger", "", "actionTreeSize", "actionResultsSize", "",
                                                    "actionNewInfoWindow"});
  infoWindowsMenu_ = windows->addMenu(QStringLiteral("&Info Windows"));
  infoWindowsMenu_->setEnabled(false);
  windows->addSeparator();
  for (const char* name : {"actionArrange", "actionArrangeReverse", "actionMinimizeAll", "actionRestoreAll"}) {
    windows->addAction(actions_.at(QString::fromLatin1(name)));
  }
  windows->addSeparator();
  windows->addAction(actions_.at(QStringLiteral("actionCloseAll")));
  QMenu* help = menu(QStringLiteral("&Help"), {"actionHelpTopics", ""});
  addWebPageItems(*help);
  help->addSeparator();
  help->addAction(actions_.at(QStringLiteral("actionAbout")));
}

void TZormNL32::createToolbar() {
  ToolBarPanel = addToolBar(QStringLiteral("Toolbar"));
  ToolBarPanel->setObjectName(QStringLiteral("ToolBarPanel"));
  ToolBarPanel->setMovable(false);
  ToolBarPanel->setIconSize(QSize(16, 16));
  ToolBarPanel->toggleViewAction()->setEnabled(false);
  using artwork::Glyph;
  struct Button {
    const char* name;
    const char* action;
    Glyph glyph;
    const char* hint;
  };
  const Button buttons[] = {
      {"SpeedButtonContact", "actionContact", Glyph::contact, "Contact Remote SNMP Agent"},
      {"SpeedButtonQuery", "actionQuery", Glyph::query, "Query Remote SNMP Agent"},
      {"SpeedButtonSet", "actionSet", Glyph::set, "Set Value in Remote SNMP Agent"},
      {"SpeedButtonAbort", "actionAbort", Glyph::abort, "Abort Current Operation"},
      {"SpeedButtonDiscover", "actionDiscover", Glyph::discover, "Discover Remote SNMP Agents"},
      {"SpeedButtonInfo", "actionAgentInfo", Glyph::info, "Show Remote SNMP Agent Info"},
      {"TringerSpeedButton", "actionTrapRinger", Glyph::trapRinger, "Show SNMP Trap Ringer Console"},
      {"SpeedButtonMibNodeInfo", "actionNodeInfo", Glyph::nodeInfo, "Show MIB Node Properties"},
      {"RunCompilerSpeedButton", "actionCompiler", Glyph::compiler, "Run Orvane MIB Compiler"},
      {"SpeedButtonCopyClipboard", "actionCopy", Glyph::copy, "Copy Query Results to Clipboard"},
      {"SpeedButtonClear", "actionClear", Glyph::clear, "Clear Query Results"},
      {"SpeedButtonHelp", "actionHelpTopics", Glyph::help, "Show Help"},
  };
  for (const Button& button : buttons) {
    QAction* action = actions_.at(QString::fromLatin1(button.action));
    action->setIcon(artwork::glyph(button.glyph));
    action->setToolTip(QString::fromLatin1(button.hint));
    ToolBarPanel->addAction(action);
    ToolBarPanel->widgetForAction(action)->setObjectName(QString::fromLatin1(button.name));
    if (button.glyph == Glyph::abort || button.glyph == Glyph::nodeInfo) ToolBarPanel->addSeparator();
  }
  addHomePageButton(*ToolBarPanel);
  // Never narrower than the toolbar, nor lower than the designed height.
  setMinimumSize(ToolBarPanel->sizeHint().width(), 460);
}

void TZormNL32::createStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  statusTextPanel_ = new StatusTextPanel(bar);
  requestCountPanel_ = statusPanel(bar, "StatusPanelRequests", 36);
  auto* lightPanel = new SemaphorePanel(&semaphore_, bar);
  lightPanel->setObjectName(QStringLiteral("StatusPanelLight"));
  semaphore_.setBackgroundColor(palette().color(QPalette::Window));
  sizeArrowPanel_ = new StatusPanelLabel(QStringLiteral("Toggle window size"), bar);
  sizeArrowPanel_->setObjectName(QStringLiteral("StatusPanelSize"));
  sizeArrowPanel_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  sizeArrowPanel_->setFixedWidth(19);
  sizeArrowPanel_->setAlignment(Qt::AlignCenter);
  trapAlarmPanel_ = statusPanel(bar, "StatusPanelAlarm", 21);
  trapAlarmPanel_->setPixmap(artwork::trapAlarm(0, false, devicePixelRatioF()));
  bar->addWidget(statusTextPanel_, 1);
  bar->addPermanentWidget(requestCountPanel_);
  bar->addPermanentWidget(lightPanel);
  bar->addPermanentWidget(sizeArrowPanel_);
  bar->addPermanentWidget(trapAlarmPanel_);
  connect(sizeArrowPanel_, &StatusPanelLabel::clicked, this, [this] {
    if (PageControl->currentWidget() == queryTab_) queryTab_->setSizeState((queryTab_->sizeState() + 1) % 3);
  });
}

void TZormNL32::createTabs() {
  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  PageControl->setDocumentMode(false);
  queryTab_ = new QueryTab(PageControl);
  mibTab_ = new MibTab(PageControl);
  pingTab_ = new PingTab(*this, PageControl);
  preferencesTab_ = new PreferencesTab(PageControl);
  PageControl->addTab(queryTab_, QStringLiteral("Query"));
  PageControl->addTab(mibTab_, QStringLiteral("MIB"));
  PageControl->addTab(pingTab_, QStringLiteral("Ping"));
  PageControl->addTab(preferencesTab_, QStringLiteral("Preferences"));
  setCentralWidget(PageControl);
}

void TZormNL32::connectControls() {
  QTreeWidget* tree = queryTab_->MibTreeView;
  connect(tree, &QTreeWidget::itemSelectionChanged, this, &TZormNL32::treeSelectionChanged);
  connect(tree, &QTreeWidget::customContextMenuRequested, this, &TZormNL32::showTreePopup);
  connect(tree, &QTreeWidget::itemExpanded, this, [tree] {
    if (QTreeWidgetItem* item = tree->currentItem()) tree->scrollToItem(item);
  });
  connect(queryTab_, &QueryTab::sizeStateChanged, this, &TZormNL32::sizeStateChanged);
  connect(PageControl, &QTabWidget::currentChanged, this, &TZormNL32::updateSizeArrow);

  QComboBox* agent = queryTab_->ComboBoxRSnmpAgent;
  connect(agent->lineEdit(), &QLineEdit::returnPressed, this, &TZormNL32::SpeedButtonContactClick);
  connect(agent, &QComboBox::editTextChanged, this, &TZormNL32::agentTextChanged);
  connect(preferencesTab_->CheckBoxSnmpV2c, &QCheckBox::toggled, this, &TZormNL32::rememberAgentVersion);
  agent->installEventFilter(this);
  agent->lineEdit()->installEventFilter(this);

  MibTab* modules = mibTab_;
  connect(modules->ButtonLoadAll, &QToolButton::clicked, this, &TZormNL32::loadAllModules);
  connect(modules->ButtonLoadSelected, &QToolButton::clicked, this, &TZormNL32::loadSelectedModules);
  connect(modules->ButtonRefresh, &QToolButton::clicked, this, &TZormNL32::refreshModuleLists);
  connect(modules->ButtonUnloadSelected, &QToolButton::clicked, this, &TZormNL32::unloadSelectedModules);
  connect(modules->ButtonUnloadAll, &QToolButton::clicked, this, &TZormNL32::unloadAllModules);
  connect(modules->ListViewLoaded, &ModuleListView::droppedFromPartner, this, &TZormNL32::loadSelectedModules);
  connect(modules->ListViewAvailable, &ModuleListView::droppedFromPartner, this, &TZormNL32::unloadSelectedModules);
  connect(modules->ListViewLoaded, &QTreeWidget::itemDoubleClicked, this, &TZormNL32::unloadSelectedModules);
  connect(modules->ListViewAvailable, &QTreeWidget::itemDoubleClicked, this, &TZormNL32::availableItemActivated);
  connect(modules->ListViewLoaded, &QTreeWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { showModulePopup(true, position); });
  connect(modules->ListViewAvailable, &QTreeWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { showModulePopup(false, position); });

  PreferencesTab* preferences = preferencesTab_;
  connect(preferences, &PreferencesTab::applyRequested, this, &TZormNL32::applyPreferences);
  connect(preferences->EditTimeout, &QLineEdit::editingFinished, this, &TZormNL32::applyTimeoutAndRetransmits);
  connect(preferences->EditRetransmits, &QLineEdit::editingFinished, this, &TZormNL32::applyTimeoutAndRetransmits);
  connect(preferences->EditCapacity, &QLineEdit::editingFinished, this, &TZormNL32::applyCapacity);
  connect(preferences->ButtonClearAll, &QPushButton::clicked, this, &TZormNL32::confirmClearAllHistories);
  connect(preferences->CheckBoxTreeIcons, &QCheckBox::toggled, this, &TZormNL32::buildMibTree);
  connect(preferences->CheckBoxRightClickTip, &QCheckBox::toggled, this, [this](bool shown) {
    queryTab_->MibTreeView->setToolTip(shown ? QStringLiteral("Right-click MIB Tree Node for Pop-Up Menu") : QString());
  });
  QAction* poll = actions_.at(QStringLiteral("actionPollInfo"));
  connect(preferences->CheckBoxPollInfoForms, &QCheckBox::toggled, poll, &QAction::setChecked);
  connect(poll, &QAction::toggled, preferences->CheckBoxPollInfoForms, &QCheckBox::setChecked);
  connect(actions_.at(QStringLiteral("actionToolbar")), &QAction::toggled, this,
          [this](bool shown) { ToolBarPanel->setVisible(shown); });
  connect(actions_.at(QStringLiteral("actionStatusBar")), &QAction::toggled, this,
          [this](bool shown) { statusBar()->setVisible(shown); });
  for (QComboBox* box : {preferences->ComboBoxCommunity, preferences->ComboBoxSnmpPort}) {
    box->installEventFilter(this);
  }
}

void TZormNL32::startNetworking() {
  WSADATA data{};
  socketsStarted_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
  if (socketsStarted_ && data.wVersion != MAKEWORD(1, 1)) {
    WSACleanup();
    socketsStarted_ = false;
  }
  if (!socketsStarted_) return;
  QString local = localAddress();
  if (local.isEmpty()) return;
  preferencesTab_->EditManagerIP->setText(local);
  addResultLine(QStringLiteral("Welcome to Orvane MIB Browser Professional Edition"));
  if (queryTab_->ComboBoxRSnmpAgent->currentText() == QLatin1String("0.0.0.0")) {
    queryTab_->ComboBoxRSnmpAgent->setEditText(local);
  }
  if (pingTab_->EditPingHost->currentText() == QLatin1String("0.0.0.0")) pingTab_->EditPingHost->setEditText(local);
}

void TZormNL32::startLibrary() {
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  bool ok = SnmpStartup(&major, &minor, &level, &translate, &retransmit) == SNMPAPI_SUCCESS;
  if (!ok) {
    QByteArray text = (QStringLiteral("SnmpStartup error : ") + QString::number(SnmpGetLastError(nullptr))).toUtf8();
    MessageBoxA(nullptr, text.constData(), "Information", MB_OK | MB_ICONINFORMATION);
  } else if (translate != SNMPAPI_UNTRANSLATED_V1 && !SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1)) {
    QByteArray text =
        (QStringLiteral("SnmpSetTranslateMode error : ") + QString::number(SnmpGetLastError(nullptr))).toUtf8();
    MessageBoxA(nullptr, text.constData(), "Information", MB_OK | MB_ICONINFORMATION);
    ok = false;
  }
  if (!ok) {
    MessageBoxA(nullptr, "Could not initialize MIB-walk WinSnmp! Terminating...", "Error", MB_OK | MB_ICONERROR);
  }
  started_ = ok;
}

QString TZormNL32::statusText() const { return statusTextPanel_->text(); }

QComboBox& TZormNL32::historyBox(SharedHistory which) {
  switch (which) {
    case SharedHistory::agents: return *queryTab_->ComboBoxRSnmpAgent;
    case SharedHistory::communities: return *preferencesTab_->ComboBoxCommunity;
    case SharedHistory::ports: break;
  }
  return *preferencesTab_->ComboBoxSnmpPort;
}

QString TZormNL32::managerAddress() const { return preferencesTab_->EditManagerIP->text(); }

void TZormNL32::bringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void TZormNL32::rememberBoxTexts() {
  rememberedAgent_ = queryTab_->ComboBoxRSnmpAgent->currentText();
  rememberedPingHost_ = pingTab_->EditPingHost->currentText();
}

void TZormNL32::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  rememberBoxTexts();
  if (mibTab_->ListViewLoaded->topLevelItemCount() == 0) PageControl->setCurrentWidget(mibTab_);
  queryTab_->MibTreeView->setToolTip(preferencesTab_->CheckBoxRightClickTip->isChecked()
                                         ? QStringLiteral("Right-click MIB Tree Node for Pop-Up Menu")
                                         : QString());
  ToolBarPanel->setVisible(actions_.at(QStringLiteral("actionToolbar"))->isChecked());
  statusBar()->setVisible(actions_.at(QStringLiteral("actionStatusBar"))->isChecked());
}

void TZormNL32::hideEvent(QHideEvent* event) {
  if (!histories_.bulkOperation()) applyPreferences();
  QMainWindow::hideEvent(event);
}

void TZormNL32::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) rememberBoxTexts();
    else if (!histories_.bulkOperation()) applyPreferences();
  }
  QMainWindow::changeEvent(event);
}

void TZormNL32::closeEvent(QCloseEvent* event) {
  if (preferencesTab_->CheckBoxExitConfirmation->isChecked() &&
      MessageBoxA(nullptr, "Close Mib Browser?", kApplicationTitle, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    event->ignore();
    return;
  }
  // The secondary windows close with the program.
  closeAllWindows();
  event->accept();
}

bool TZormNL32::eventFilter(QObject* watched, QEvent* event) {
  QComboBox* agent = queryTab_->ComboBoxRSnmpAgent;
  if (watched == agent->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
    SpeedButtonContactClick();
    return true;
  }
  if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    if (auto* box = qobject_cast<QComboBox*>(watched)) histories_.add(*box, box->currentText());
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace netlens
