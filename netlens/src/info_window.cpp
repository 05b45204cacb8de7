// An info window: its controls, its polls and their rows.
#include "info_window.h"

#include "artwork.h"
#include "binding_text.h"
#include "info_properties.h"
#include "main_window.h"
#include "mib_node.h"
#include "node_info_window.h"
#include "node_properties.h"
#include "set_window.h"
#include "settings_key.h"

#include "platform/message_box.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace netlens {
namespace {

constexpr char kLayoutSection[] = "Layouts\\Info";
constexpr char kPreferencesSection[] = "Preferences\\Info";
constexpr QSize kDesignedSize(482, 328);
constexpr int kNameWidth = 170;
constexpr int kSyntaxWidth = 80;
// A receive error that leaves the poll running.
constexpr SNMPAPI_STATUS kIgnoredReceiveError = 8;
// Room for "65535" in the port panel, "255.255.255.255" in the agent's.
constexpr int kPanelWidths[TInfoForm::panelCount] = {0, 40, 110, 60, 48, 30, 0};

smiOID asOid(const std::vector<smiUINT32>& parts) {
  return smiOID{static_cast<smiUINT32>(parts.size()), const_cast<smiUINT32*>(parts.data())};
}

// The order of two OIDs: negative, zero or positive.
int compareOids(const smiOID& first, const smiOID& second) {
  smiINT order = 0;
  SnmpOidCompare(const_cast<smiLPOID>(&first), const_cast<smiLPOID>(&second), 0, &order);
  return order;
}

QString timeText() { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")); }

}  // namespace

TInfoForm::TInfoForm(TZormNL32& owner, const Setup& setup)
    : QWidget(&owner, Qt::Window),
      owner_(owner),
      setup_(setup),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }),
      request_(window_.handle(), kNotifyMessage),
      semaphore_(this) {
  setObjectName(QStringLiteral("InfoForm%1").arg(setup_.slot + 1));
  setAttribute(Qt::WA_DeleteOnClose);
  request_.setDeadlineHandler([this] { pollTimedOut(); });
  createControls();
  updateCaption();
  SettingsKey layout(kLayoutSection);
  resize(layout.readNumber("Width", kDesignedSize.width()), layout.readNumber("Height", kDesignedSize.height()));

  pollTimer_.setInterval(1000);
  connect(&pollTimer_, &QTimer::timeout, this, &TInfoForm::timerTick);
  started_ = startLibrary();
  prepareRanges();
  if (ranges_.empty()) return;
  SessionPolicy policy = owner_.sessionPolicy().value_or(SessionPolicy{});
  applyMinimumInterval(policy);
  if (started_) {
    request_.managerAddress = owner_.managerAddress().toStdString();
    request_.agentAddress = setup_.agent.trimmed().toStdString();
    request_.community = setup_.community.toStdString();
    policy.port = setup_.port;
    if (!request_.openSession(policy)) started_ = false;
  }
  setPolling(setup_.polling);
}

TInfoForm::~TInfoForm() {
  SettingsKey layout(kLayoutSection);
  layout.writeNumber("Width", width());
  layout.writeNumber("Height", height());
  SettingsKey preferences(kPreferencesSection);
  preferences.writeNumber("NameWidth", ListViewInfo->columnWidth(0));
  preferences.writeNumber("SyntaxWidth", ListViewInfo->columnWidth(1));
  preferences.writeNumber("ValueWidth", ListViewInfo->columnWidth(2));
  preferences.writeNumber("PollingInterval", EditInterval->value());
  request_.closeSession();
}

void TInfoForm::createControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* controls = new QHBoxLayout;
  controls->setContentsMargins(6, 4, 6, 4);
  CheckBoxPoll = new QCheckBox(QStringLiteral("Poll every"), this);
  CheckBoxPoll->setObjectName(QStringLiteral("CheckBoxPoll"));
  EditInterval = new QSpinBox(this);
  EditInterval->setObjectName(QStringLiteral("EditInterval"));
  EditInterval->setRange(kMinimumInterval, kMaximumInterval);
  // Leaving the box with a value out of range puts the nearest one in.
  EditInterval->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  EditInterval->setValue(SettingsKey(kPreferencesSection).readNumber("PollingInterval", kDefaultInterval));
  EditInterval->setSuffix(QStringLiteral(" s"));
  auto* refresh = new QPushButton(artwork::glyph(artwork::Glyph::refresh), QStringLiteral("Refresh Now"), this);
  refresh->setObjectName(QStringLiteral("ButtonRefreshNow"));
  auto* properties = new QPushButton(artwork::glyph(artwork::Glyph::contact), QString(), this);
  properties->setObjectName(QStringLiteral("ButtonAgentProperties"));
  properties->setToolTip(QStringLiteral("Remote SNMP Agent Properties"));
  controls->addWidget(CheckBoxPoll);
  controls->addWidget(EditInterval);
  controls->addStretch(1);
  controls->addWidget(refresh);
  controls->addWidget(properties);
  layout->addLayout(controls);

  ListViewInfo = new QTreeWidget(this);
  ListViewInfo->setObjectName(QStringLiteral("ListViewInfo"));
  ListViewInfo->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Syntax"), QStringLiteral("Value")});
  ListViewInfo->setRootIsDecorated(false);
  ListViewInfo->setUniformRowHeights(true);
  ListViewInfo->setAlternatingRowColors(true);
  ListViewInfo->setContextMenuPolicy(Qt::CustomContextMenu);
  SettingsKey preferences(kPreferencesSection);
  ListViewInfo->setColumnWidth(0, preferences.readNumber("NameWidth", kNameWidth));
  ListViewInfo->setColumnWidth(1, preferences.readNumber("SyntaxWidth", kSyntaxWidth));
  layout->addWidget(ListViewInfo, 1);
  layout->addWidget(createStatusBar());

  connect(CheckBoxPoll, &QCheckBox::toggled, this, &TInfoForm::setPolling);
  connect(refresh, &QPushButton::clicked, this, &TInfoForm::RefreshNowClick);
  connect(properties, &QPushButton::clicked, this, &TInfoForm::showAgentProperties);
  connect(ListViewInfo, &QTreeWidget::customContextMenuRequested, this, &TInfoForm::showRowPopup);
}

QStatusBar* TInfoForm::createStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(true);
  auto* light = new SemaphorePanel(&semaphore_, bar);
  semaphore_.setBackgroundColor(palette().color(QPalette::Window));
  bar->addWidget(light);
  for (int panel = secondsPanel; panel < panelCount; ++panel) {
    panels_[panel] = new QLabel(bar);
    panels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
    panels_[panel]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    if (kPanelWidths[panel]) panels_[panel]->setMinimumWidth(kPanelWidths[panel]);
    bar->addWidget(panels_[panel], panel == messagePanel ? 1 : 0);
  }
  bar->installEventFilter(this);
  for (QLabel* panel : panels_) {
    if (panel) panel->installEventFilter(this);
  }
  return bar;
}

bool TInfoForm::startLibrary() {
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  const char* failed = nullptr;
  if (SnmpStartup(&major, &minor, &level, &translate, &retransmit) != SNMPAPI_SUCCESS) {
    failed = "SnmpStartup error : ";
  } else if (translate != SNMPAPI_UNTRANSLATED_V1 && !SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1)) {
    failed = "SnmpSetTranslateMode error : ";
  }
  if (!failed) return true;
  QByteArray text = (QString::fromLatin1(failed) + QString::number(SnmpGetLastError(nullptr))).toUtf8();
  MessageBoxA(nullptr, text.constData(), "Information", MB_OK | MB_ICONINFORMATION);
  // The window stays, without a session.
  MessageBoxA(nullptr, "Could not initialize MIB-info WinSnmp! Terminating...", "Error", MB_OK | MB_ICONERROR);
  return false;
}

void TInfoForm::prepareRanges() {
  ranges_.clear();
  if (setup_.kind == standardKind) {
    ranges_ = standardRanges();
  } else if (auto range = subtreeRange(setup_.root.toStdString())) {
    ranges_.push_back(*range);
  }
  if (!ranges_.empty()) return;
  for (int panel = secondsPanel; panel <= portPanel; ++panel) setPanel(panel, QString());
  setPanel(messagePanel, QStringLiteral("Nothing to do"));
  pollTimer_.stop();
  setLight(SEM_GO);
}

// A poll must have time for every retransmission before the next starts.
void TInfoForm::applyMinimumInterval(const SessionPolicy& policy) {
  long long minimum = static_cast<long long>(policy.timeoutSeconds) * (policy.retransmits + 1) + 1;
  if (minimum > kMinimumInterval) {
    EditInterval->setMinimum(static_cast<int>(std::min<long long>(minimum, kMaximumInterval)));
  }
}

void TInfoForm::setPolling(bool polling) {
  if (CheckBoxPoll->isChecked() != polling) {
    CheckBoxPoll->setChecked(polling);  // comes back here through the signal
    return;
  }
  if (ranges_.empty()) return;
  if (polling) {
    setLight(SEM_WORKING);
    setPanel(pollsPanel, QString());
    pollTimer_.start();
    timerTick();
  } else {
    pollTimer_.stop();
    setLight(SEM_IDLE);
    setPanel(secondsPanel, QString());
  }
}

bool TInfoForm::polling() const { return CheckBoxPoll->isChecked(); }

void TInfoForm::RefreshNowClick() {
  setLight(SEM_STOP);
  if (ranges_.empty()) return;
  request_.forgetRequest();
  pollComplete_ = true;
  secondsLeft_ = 0;
  ListViewInfo->clear();
  request_.renewRemoteEntity(setup_.port);
  if (!polling()) setPolling(true);
  else timerTick();
}

void TInfoForm::showAgentProperties() {
  TFormInfoProperties dialog(owner_, this);
  dialog.setValues(setup_.agent, setup_.community, QString::number(setup_.port));
  if (dialog.exec() != QDialog::Accepted) return;
  auto port = integerFromText(dialog.port());
  if (!port) return;
  applyAgent(dialog.agent(), dialog.community(), static_cast<UINT>(*port));
}

void TInfoForm::applyAgent(const QString& agent, const QString& community, UINT port) {
  setup_.agent = agent;
  setup_.community = community;
  setup_.port = port;
  emit agentChanged(this);
  if (!started_ || ranges_.empty()) return;
  request_.closeSession();
  request_.agentAddress = agent.trimmed().toStdString();
  request_.community = community.toStdString();
  SessionPolicy policy = owner_.sessionPolicy().value_or(SessionPolicy{});
  policy.port = port;
  request_.openSession(policy);
  RefreshNowClick();
}

void TInfoForm::timerTick() {
  if (!pollComplete_) return;
  --secondsLeft_;
  setPanel(secondsPanel, QString::number(std::max(secondsLeft_, 0)));
  if (secondsLeft_ <= 0) {
    secondsLeft_ = EditInterval->value();
    startPoll();
  }
  updateCaption();
}

void TInfoForm::startPoll() {
  setPanel(secondsPanel, QStringLiteral("..."));
  setPanel(agentPanel, setup_.agent);
  setPanel(communityPanel, setup_.community);
  setPanel(portPanel, QString::number(setup_.port));
  collected_.clear();
  if (semaphore_.SemaphoreState() == SEM_STOP) setLight(SEM_WORKING);
  else if (semaphore_.SemaphoreState() == SEM_GO) setLight(SEM_GO_WORKING);
  pollComplete_ = false;
  currentRange_ = 0;
  request_.setCurrentOid(asOid(ranges_[0].start));
  sendRequest();
}

void TInfoForm::sendRequest() {
  setPanel(messagePanel, QStringLiteral("Query ") + QString::fromStdString(dottedOid(request_.currentOid)) +
                             QStringLiteral(" ..."));
  // Without a session, or to an address the library cannot send to, no
  // answer ever comes.
  if (!request_.open || !request_.sendGetNext()) pollTimedOut();
}

LRESULT TInfoForm::windowProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == kNotifyMessage) answerArrived(wParam);
  return 0;
}

void TInfoForm::answerArrived(WPARAM error) {
  if (!request_.open) return;
  if (error) {
    if (error == SNMPAPI_TL_TIMEOUT && request_.requestInFlight()) pollTimedOut();
    return;
  }
  ReceivedMessage received(request_);
  if (received.timedOut()) {
    if (request_.requestInFlight()) pollTimedOut();
    return;
  }
  if (!received.received()) {
    if (received.error() != kIgnoredReceiveError && !pollComplete_) {
      request_.forgetRequest();
      completePoll();
    }
    return;
  }
  PduData answer(received.pdu);
  if (answer.type == SNMP_PDU_V1TRAP || answer.type == SNMP_PDU_TRAP) return;
  // Late, duplicated and stray answers change nothing.
  if (pollComplete_ || !request_.isAnswer(received.source, received.pdu)) return;
  request_.answered();
  // noSuchName ends the agent's MIB; any other error would only repeat
  // the same request for ever.
  if (answer.errorStatus != SNMP_ERROR_NOERROR) {
    completePoll();
    return;
  }
  takeBindings(answer.bindings);
  if (!pollComplete_) sendRequest();
}

void TInfoForm::pollTimedOut() {
  request_.forgetRequest();
  if (pollComplete_) return;
  pollComplete_ = true;
  setLight(SEM_STOP);
  collected_.push_back({QStringLiteral("TIMEOUT"), timeText(), QString(), timeoutRowImage(localAgent())});
  showRows();
  updateCaption();
}

void TInfoForm::takeBindings(HSNMP_VBL bindings) {
  smiUINT32 count = bindings ? SnmpCountVbl(bindings) : 0;
  bool rangeGoesOn = count > 0;
  for (smiUINT32 index = 1; index <= count && rangeGoesOn; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(bindings, index, &name, &value)) continue;
    if (index == 1) {
      // An OID that does not follow the one asked for would loop.
      rangeGoesOn = compareOids(name, request_.currentOid) > 0;
      if (rangeGoesOn) request_.setCurrentOid(name);
    }
    if (rangeGoesOn) rangeGoesOn = takeBinding(name, value);
    releaseBinding(name, value);
  }
  if (!rangeGoesOn && !nextRange()) completePoll();
}

// Turns a binding inside the range into a row; false when it lies beyond.
bool TInfoForm::takeBinding(const smiOID& name, const smiVALUE& value) {
  if (value.syntax == SNMP_SYNTAX_ENDOFMIBVIEW) return false;
  if (compareOids(name, asOid(ranges_[currentRange_].bound)) > 0) return false;
  if (setup_.kind == tableKind) {
    std::vector<std::string> indexes;
    for (const QString& index : setup_.indexes) indexes.push_back(index.toStdString());
    if (!tableRowWanted(dottedOid(name), setup_.entryOid.toStdString(), indexes)) return true;
  }
  std::string rowName = oidName(name);
  collected_.push_back({QString::fromStdString(rowName), QString::fromStdString(syntaxWord(value.syntax)),
                        QString::fromStdString(valueText(value)), rowImage(rowName)});
  return true;
}

bool TInfoForm::nextRange() {
  ++currentRange_;
  if (currentRange_ >= ranges_.size() || currentRange_ >= kMaximumRanges) return false;
  request_.setCurrentOid(asOid(ranges_[currentRange_].start));
  return true;
}

void TInfoForm::completePoll() {
  pollComplete_ = true;
  ++pollsCompleted_;
  setPanel(messagePanel, QStringLiteral("Updating output..."));
  setLight(SEM_GO);
  showRows();
  setPanel(messagePanel, QStringLiteral("Last succesfull poll at ") + timeText());
  setPanel(pollsPanel, QString::number(pollsCompleted_));
  setPanel(secondsPanel, QString::number(std::max(secondsLeft_, 0)));
  updateCaption();
}

void TInfoForm::showRows() {
  ListViewInfo->setUpdatesEnabled(false);
  ListViewInfo->clear();
  QList<QTreeWidgetItem*> items;
  for (const Row& row : collected_) {
    auto* item = new QTreeWidgetItem({row.name, row.syntax, row.value});
    item->setIcon(0, artwork::treeNodeIcon(row.image.image, row.image.image, row.image.overlay));
    // Long values (sysDescr) are cut off by the column; the hint has them whole.
    item->setToolTip(2, row.value);
    items.push_back(item);
  }
  ListViewInfo->addTopLevelItems(items);
  ListViewInfo->setUpdatesEnabled(true);
}

QString TInfoForm::panelText(int panel) const {
  return panel > 0 && panel < panelCount ? panels_[panel]->text() : QString();
}

void TInfoForm::setPanel(int panel, const QString& text) { panels_[panel]->setText(text); }

void TInfoForm::setLight(TSemaphoreState state) {
  semaphore_.setSemaphoreState(state);
  updateCaption();
}

void TInfoForm::updateCaption() {
  if (!isMinimized()) {
    setWindowTitle(caption());
    return;
  }
  QString state;
  switch (semaphore_.SemaphoreState()) {
    case SEM_STOP: state = QStringLiteral(" No response"); break;
    case SEM_GO: state = QString::number(pollsCompleted_) + QStringLiteral(" ") + QString::number(secondsLeft_) +
                         QStringLiteral(" ");
      break;
    case SEM_IDLE: state = QStringLiteral(" Idle"); break;
    case SEM_WORKING: state = QStringLiteral(".No response"); break;
    case SEM_GO_WORKING: state = QStringLiteral(" ..."); break;
    default: break;
  }
  setWindowTitle(QString::number(setup_.slot + 1) + state);
}

bool TInfoForm::localAgent() const {
  QString agent = setup_.agent.trimmed();
  return agent == owner_.managerAddress() || agent.startsWith(QLatin1String("127.")) ||
         agent == QLatin1String("localhost");
}

QMenu* TInfoForm::prepareRowPopup(QTreeWidgetItem* item) {
  auto* menu = new QMenu(this);
  QString rowName = item ? item->text(0) : QString();
  QString nodeText = rowName.section(QLatin1Char('.'), 0, 0);
  QString suffix = rowName.contains(QLatin1Char('.')) ? rowName.section(QLatin1Char('.'), 1) : QString();
  HWSM_NODE node = nodeNamed(nodeText.toStdString());
  QAction* set = menu->addAction(QStringLiteral("&Set"), this, [this, nodeText, suffix] {
    TFormMibSet* window = owner_.setWindow();
    window->prepare(setup_.agent, nodeText, suffix.isEmpty() ? std::nullopt : std::optional<QString>(suffix));
    window->show();
    window->raise();
    window->activateWindow();
  });
  set->setEnabled(node != 0);
  QAction* properties = menu->addAction(QStringLiteral("&Properties"), this, [this, node] {
    owner_.nodeInfoWindow()->showText(nodePropertiesCaption(node), nodePropertyLines(node));
  });
  properties->setEnabled(node != 0);
  return menu;
}

void TInfoForm::showRowPopup(const QPoint& position) {
  QTreeWidgetItem* item = ListViewInfo->itemAt(position);
  if (!item) return;
  std::unique_ptr<QMenu> menu(prepareRowPopup(item));
  menu->exec(ListViewInfo->viewport()->mapToGlobal(position));
}

void TInfoForm::closeEvent(QCloseEvent* event) {
  pollTimer_.stop();
  emit closed(this);
  QWidget::closeEvent(event);
}

void TInfoForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) updateCaption();
  QWidget::changeEvent(event);
}

bool TInfoForm::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    showAgentProperties();
    return true;
  }
  return false;
}

}  // namespace netlens
