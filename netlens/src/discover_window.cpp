// The discovery window: its layout, the requests to every target, the
// wait and the list of the agents that answered.
#include "discover_window.h"

#include "agent_request.h"
#include "artwork.h"
#include "binding_text.h"
#include "browser_host.h"
#include "browser_texts.h"
#include "received_item.h"
#include "settings_key.h"
#include "window_layout.h"

#include "platform/message_box.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <arpa/inet.h>

#include <algorithm>
#include <limits>

namespace netlens {
namespace {

const WindowPlace kPlace{"Layouts\\Discovery", 20, 20, QSize(566, 216)};
constexpr char kColumnSection[] = "Preferences\\Discovery";
constexpr char kStartSection[] = "HistoryLists\\Start Discovery";
constexpr char kStopSection[] = "HistoryLists\\Stop Discovery";
constexpr int kMostTargets = 256;
constexpr int kFirstRequestId = 100;
constexpr int kProgressRange = 80;
constexpr int kStoredColumnWidths = 7;
constexpr int kLocalImage = 8;
constexpr int kRemoteImage = 14;

// What each list item keeps besides its texts.
constexpr int kAddressRole = Qt::UserRole;
constexpr int kTicksRole = Qt::UserRole + 1;
constexpr int kPortRole = Qt::UserRole + 2;

struct ColumnDesign {
  const char* caption;
  int width;
};

const ColumnDesign kColumns[] = {
    {"System Name", 140}, {"System Address", 100}, {"Community", 100},           {"Port", 50},
    {"Up Time", 80},      {"Contact Person", 100}, {"System Location", 100},     {"System Description", 200},
    {"<", 18},            {">", 18},
};

// sysUpTime, then sysDescr to sysServices.
constexpr smiUINT32 kSystemGroup[] = {1, 3, 6, 1, 2, 1, 1};
constexpr smiUINT32 kRequestedObjects[] = {3, 1, 2, 3, 4, 5, 6, 7};

enum SystemObject : smiUINT32 { sysDescr = 1, sysUpTime = 3, sysContact = 4, sysName = 5, sysLocation = 6 };

// The system-group object an OID lies under, or 0.
smiUINT32 systemObjectOf(const smiOID& oid) {
  constexpr smiUINT32 groupLength = sizeof kSystemGroup / sizeof kSystemGroup[0];
  if (oid.len <= groupLength || !std::equal(kSystemGroup, kSystemGroup + groupLength, oid.ptr)) return 0;
  return oid.ptr[groupLength];
}

std::optional<uint32_t> addressNumber(const QString& text) {
  in_addr address{};
  if (inet_pton(AF_INET, text.trimmed().toLatin1().constData(), &address) != 1) return std::nullopt;
  return ntohl(address.s_addr);
}

QString addressText(uint32_t number) {
  in_addr address{htonl(number)};
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return QString::fromLatin1(text);
}

// Boxes as wide as their longest usual text ("255.255.255.255" for the
// addresses), so that all four and the buttons fit the designed width.
QComboBox* toolbarBox(QWidget* parent, const char* name, const char* hint, const char* text, const char* widest) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setToolTip(QString::fromLatin1(hint));
  box->setEditText(QString::fromLatin1(text));
  int textWidth = box->fontMetrics().horizontalAdvance(QString::fromLatin1(widest));
  box->setFixedWidth(textWidth + box->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6);
  return box;
}

void errorBox(const QString& message) {
  MessageBoxA(nullptr, message.toUtf8().constData(), "Error", MB_OK | MB_ICONERROR);
}

void informationBox(const QString& message) {
  MessageBoxA(nullptr, message.toUtf8().constData(), "Information", MB_OK | MB_ICONINFORMATION);
}

// The order of two items by a column, before the direction applies.
int compareItems(const QTreeWidgetItem& a, const QTreeWidgetItem& b, int column) {
  auto numbers = [&](int role) {
    qulonglong x = a.data(0, role).toULongLong(), y = b.data(0, role).toULongLong();
    return x < y ? -1 : x > y ? 1 : 0;
  };
  switch (column) {
    case TFormDiscover::address: return numbers(kAddressRole);
    case TFormDiscover::port: return numbers(kPortRole);
    case TFormDiscover::upTime: return numbers(kTicksRole);
    default: return QString::compare(a.text(column), b.text(column), Qt::CaseInsensitive);
  }
}

}  // namespace

std::vector<DiscoveryTarget> discoveryTargets(const QString& start, const QString& stop, UINT port) {
  std::vector<DiscoveryTarget> targets;
  auto first = addressNumber(start), last = addressNumber(stop);
  if (!first || !last) return targets;
  uint32_t network = *first & 0xFFFFFF00u;
  for (uint32_t octet = *first & 0xFFu; octet <= (*last & 0xFFu) && targets.size() < kMostTargets; ++octet) {
    DiscoveryTarget target;
    target.requestId = static_cast<smiINT32>(targets.size()) + kFirstRequestId;
    target.number = network | octet;
    target.address = addressText(target.number);
    target.port = port;
    target.active = true;
    targets.push_back(target);
  }
  return targets;
}

int discoveryWaitTicks(smiUINT32 retransmits, smiUINT32 timeoutSeconds) {
  long long ticks = (static_cast<long long>(retransmits) + 1) * timeoutSeconds * 10;
  if (ticks <= 0) return 10;
  return static_cast<int>(std::min<long long>(ticks, std::numeric_limits<int>::max()));
}

TFormDiscover::TFormDiscover(BrowserHost& host, QWidget* owner)
    : QWidget(owner, Qt::Window),
      host_(host),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }) {
  setObjectName(QStringLiteral("FormDiscover"));
  setWindowTitle(QStringLiteral("Remote SNMP  Agent Discovery"));
  setWindowIcon(artwork::glyph(artwork::Glyph::discover));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  createToolbar();
  createList();
  createStatusBar();
  createPopupMenu();
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &TFormDiscover::timerTick);
  loadSettings();
  started_ = startLibrary();
  if (started_) {
    EditCommunity->setEditText(host_.historyBox(SharedHistory::communities).currentText());
    SNMPPortEdit->setEditText(host_.historyBox(SharedHistory::ports).currentText());
  } else {
    errorBox(QStringLiteral("Could not initialize discover WinSnmp! Terminating..."));
  }
  for (int column = 0; column < DiscoverListView->columnCount(); ++column) {
    sortDescriptors_.push_back({QString::fromLatin1(kColumns[column].caption), -1, column});
  }
  setBusy(false);
}

TFormDiscover::~TFormDiscover() {
  SpeedButtonCancelClick();
  saveSettings();
}

void TFormDiscover::createToolbar() {
  auto* tools = new QToolBar(this);
  tools->setIconSize(QSize(16, 16));
  struct Button {
    QToolButton** button;
    const char* name;
    artwork::Glyph glyph;
    const char* hint;
    void (TFormDiscover::*handler)();
  };
  const Button buttons[] = {
      {&SpeedButtonStart, "SpeedButtonStart", artwork::Glyph::discover, "Start Remote SNMP Agent Discovery",
       &TFormDiscover::SpeedButtonStartClick},
      {&SpeedButtonRefresh, "SpeedButtonRefresh", artwork::Glyph::refresh, "Refresh",
       &TFormDiscover::SpeedButtonRefreshClick},
      {nullptr, "SpeedButtonClear", artwork::Glyph::clear, "Clear Discovery Results",
       &TFormDiscover::SpeedButtonClearClick},
      {&SpeedButtonCancel, "SpeedButtonCancel", artwork::Glyph::abort, "Abort Current Operation",
       &TFormDiscover::SpeedButtonCancelClick},
  };
  for (const Button& button : buttons) {
    QAction* action = tools->addAction(artwork::glyph(button.glyph), QString());
    action->setToolTip(QString::fromLatin1(button.hint));
    connect(action, &QAction::triggered, this, button.handler);
    auto* made = qobject_cast<QToolButton*>(tools->widgetForAction(action));
    made->setObjectName(QString::fromLatin1(button.name));
    if (button.button) *button.button = made;
  }
  tools->addSeparator();
  ComboBoxStartDiscover = toolbarBox(tools, "ComboBoxStartDiscover", "First Address to Discover", "0.0.0.1", "255.255.255.255");
  ComboBoxStopDiscover = toolbarBox(tools, "ComboBoxStopDiscover", "Last Address to Discover", "0.0.0.254", "255.255.255.255");
  EditCommunity = toolbarBox(tools, "EditCommunity", "Community String", "", "community");
  SNMPPortEdit = toolbarBox(tools, "SNMPPortEdit", "SNMP Port Number", "161", "655350");
  for (QComboBox* box : {ComboBoxStartDiscover, ComboBoxStopDiscover, EditCommunity, SNMPPortEdit}) {
    tools->addWidget(box);
  }
  shareHistory(*EditCommunity, SharedHistory::communities, host_);
  shareHistory(*SNMPPortEdit, SharedHistory::ports, host_);
  for (QComboBox* box : {ComboBoxStopDiscover, EditCommunity, SNMPPortEdit}) box->lineEdit()->installEventFilter(this);
  tools->addSeparator();
  QAction* back = tools->addAction(artwork::glyph(artwork::Glyph::goToBrowser), QString());
  back->setToolTip(QString::fromLatin1(kGoToBrowserHint));
  connect(back, &QAction::triggered, this, [this] { host_.bringToFront(); });
  layout()->addWidget(tools);
}

void TFormDiscover::createList() {
  DiscoverListView = new QTreeWidget(this);
  DiscoverListView->setObjectName(QStringLiteral("DiscoverListView"));
  DiscoverListView->setRootIsDecorated(false);
  DiscoverListView->setUniformRowHeights(true);
  DiscoverListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DiscoverListView->setIconSize(QSize(16, 16));
  DiscoverListView->setContextMenuPolicy(Qt::CustomContextMenu);
  QStringList captions;
  for (const ColumnDesign& column : kColumns) captions << QString::fromLatin1(column.caption);
  DiscoverListView->setHeaderLabels(captions);
  DiscoverListView->header()->setSectionsClickable(true);
  DiscoverListView->header()->setStretchLastSection(false);
  for (int column = 0; column < static_cast<int>(std::size(kColumns)); ++column) {
    DiscoverListView->setColumnWidth(column, kColumns[column].width);
  }
  connect(DiscoverListView->header(), &QHeaderView::sectionClicked, this, &TFormDiscover::sortByColumn);
  connect(DiscoverListView, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { emit infoWindowRequested(item->text(address)); });
  connect(DiscoverListView, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    QTreeWidgetItem* item = DiscoverListView->itemAt(position);
    preparePopupMenu(item)->popup(DiscoverListView->viewport()->mapToGlobal(position));
  });
  layout()->addWidget(DiscoverListView);
}

void TFormDiscover::createStatusBar() {
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(true);
  const int widths[] = {93, 250, 0};
  for (int panel = 0; panel < 3; ++panel) {
    panels_[panel] = new QLabel(status);
    panels_[panel]->setObjectName(QStringLiteral("StatusPanel") + QString::number(panel));
    if (widths[panel]) panels_[panel]->setFixedWidth(widths[panel]);
  }
  progressBar_ = new QProgressBar(status);
  progressBar_->setObjectName(QStringLiteral("ProgressBar"));
  progressBar_->setRange(0, kProgressRange);
  progressBar_->setTextVisible(false);
  progressBar_->setFixedWidth(widths[0]);
  progressBar_->hide();
  panels_[0]->setText(QStringLiteral("Ready."));
  status->addWidget(panels_[0]);
  status->addWidget(progressBar_);
  status->addWidget(panels_[1]);
  status->addWidget(panels_[2], 1);
  layout()->addWidget(status);
}

void TFormDiscover::createPopupMenu() {
  popupMenu_ = new QMenu(this);
  auto item = [this](const QString& caption, bool enabled) {
    QAction* action = popupMenu_->addAction(caption);
    action->setEnabled(enabled);
    return action;
  };
  item(QStringLiteral("&Info @ Selected OID"), false);
  connect(item(QStringLiteral("Standard Info &Window"), true), &QAction::triggered, this, [this] {
    if (popupItem_) emit infoWindowRequested(popupItem_->text(address));
  });
  popupMenu_->addSeparator();
  item(QStringLiteral("Query From &Root OID"), false);
  item(QStringLiteral("&Query From Selected OID"), false);
  item(QStringLiteral("Index &Table @ Selected OID"), false);
  item(QStringLiteral("&Set Value @ Selected OID"), false);
  popupMenu_->addSeparator();
  item(QStringLiteral("&Ping IP Address"), false);
  QAction* toHistory = item(QStringLiteral("IP To &History List"), true);
  toHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
  // The shortcut works on the list's current item without the menu.
  toHistory->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  DiscoverListView->addAction(toHistory);
  connect(toHistory, &QAction::triggered, this, [this] {
    QTreeWidgetItem* item = popupItem_ ? popupItem_ : DiscoverListView->currentItem();
    if (item) host_.histories().add(host_.historyBox(SharedHistory::agents), item->text(address));
  });
  connect(popupMenu_, &QMenu::aboutToHide, this, [this] {
    // The triggered item runs after the menu hides; forget the item then.
    QTimer::singleShot(0, this, [this] { popupItem_ = nullptr; });
  });
}

QMenu* TFormDiscover::preparePopupMenu(QTreeWidgetItem* item) {
  popupItem_ = item;
  for (QAction* action : popupMenu_->actions()) {
    if (action->text() == QLatin1String("Standard Info &Window") ||
        action->text() == QLatin1String("IP To &History List")) {
      action->setEnabled(item != nullptr);
    }
  }
  return popupMenu_;
}

bool TFormDiscover::startLibrary() {
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  if (SnmpStartup(&major, &minor, &level, &translate, &retransmit) != SNMPAPI_SUCCESS) {
    informationBox(QStringLiteral("SnmpStartup error : ") + QString::number(SnmpGetLastError(nullptr)));
    return false;
  }
  if (translate != SNMPAPI_UNTRANSLATED_V1 && !SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1)) {
    informationBox(QStringLiteral("SnmpSetTranslateMode error : ") + QString::number(SnmpGetLastError(nullptr)));
    return false;
  }
  SnmpSetRetransmitMode(SNMPAPI_ON);
  return true;
}

void TFormDiscover::SpeedButtonStartClick() {
  // A run in progress owns the targets; the boxes' double click must not
  // start a second one over it.
  if (SpeedButtonCancel->isEnabled()) return;
  // The numbers are read first, so that a box without one leaves
  // everything as it was.
  auto policy = host_.sessionPolicy();
  if (!policy) return;
  auto port = integerFromText(SNMPPortEdit->currentText());
  if (!port) return;
  if (!session_) session_ = SnmpOpen(window_.handle(), kNotifyMessage);
  if (!session_) return;
  setBusy(true);
  progressBar_->setValue(0);
  HistoryLists& lists = host_.histories();
  lists.add(*ComboBoxStartDiscover, ComboBoxStartDiscover->currentText());
  lists.add(*ComboBoxStopDiscover, ComboBoxStopDiscover->currentText());
  lists.add(*EditCommunity, EditCommunity->currentText());
  lists.add(host_.historyBox(SharedHistory::communities), EditCommunity->currentText());
  targets_ = discoveryTargets(ComboBoxStartDiscover->currentText(), ComboBoxStopDiscover->currentText(),
                              static_cast<UINT>(*port));
  // Nothing to ask: the window waits for Cancel.
  if (targets_.empty()) return;
  if (!prepareSharedEntities(policy->retransmits, policy->timeoutSeconds)) {
    SpeedButtonCancelClick();
    return;
  }
  sendQueries(policy->retransmits, policy->timeoutSeconds);
  progressBar_->setValue(0);
  panels_[2]->setText(QStringLiteral("Waiting for replies ..."));
  newAgents_ = 0;
  showCounts();
  totalTicks_ = remainingTicks_ = discoveryWaitTicks(policy->retransmits, policy->timeoutSeconds);
  timer_.start();
}

bool TFormDiscover::prepareSharedEntities(smiUINT32 retransmits, smiUINT32 timeoutSeconds) {
  localEntity_ = SnmpStrToEntity(session_, host_.managerAddress().toLatin1().constData());
  QByteArray community = EditCommunity->currentText().toUtf8();
  smiOCTETS octets{static_cast<smiUINT32>(community.size()), reinterpret_cast<smiLPBYTE>(community.data())};
  context_ = SnmpStrToContext(session_, &octets);
  if (!localEntity_ || !context_) return false;
  SnmpSetRetry(localEntity_, retransmits);
  SnmpSetTimeout(localEntity_, timeoutSeconds * 100);
  return true;
}

void TFormDiscover::sendQueries(smiUINT32 retransmits, smiUINT32 timeoutSeconds) {
  panels_[2]->setText(QStringLiteral("Sending queries ..."));
  int count = static_cast<int>(targets_.size());
  for (int index = 0; index < count; ++index) {
    DiscoveryTarget& target = targets_[index];
    target.entity = SnmpStrToEntity(session_, target.address.toLatin1().constData());
    if (target.entity) {
      SnmpSetPort(target.entity, target.port);
      SnmpSetRetry(target.entity, retransmits);
      SnmpSetTimeout(target.entity, timeoutSeconds * 100);
      sendRequest(target);
    }
    progressBar_->setValue(index * kProgressRange / count);
    panels_[1]->setText(QStringLiteral("Query ") + QString::number(index) + QStringLiteral(" ..."));
  }
}

bool TFormDiscover::sendRequest(const DiscoveryTarget& target) {
  HSNMP_VBL list = nullptr;
  for (smiUINT32 object : kRequestedObjects) {
    smiUINT32 parts[] = {1, 3, 6, 1, 2, 1, 1, object};
    smiOID name{8, parts};
    if (!list) list = SnmpCreateVbl(session_, &name, nullptr);
    else SnmpSetVb(list, 0, &name, nullptr);
  }
  HSNMP_PDU pdu = list ? SnmpCreatePdu(session_, SNMP_PDU_GETNEXT, target.requestId, 0, 0, list) : nullptr;
  bool sent = pdu && SnmpSendMsg(session_, localEntity_, target.entity, context_, pdu);
  if (pdu) SnmpFreePdu(pdu);
  if (list) SnmpFreeVbl(list);
  return sent;
}

LRESULT TFormDiscover::windowProcedure(HWND, UINT message, WPARAM, LPARAM) {
  if (message == kNotifyMessage) replyArrived();
  return 0;
}

void TFormDiscover::replyArrived() {
  // Time-outs of single targets are not reported.
  ReceivedItem reply(session_);
  if (!reply.received() || !reply.pdu) return;
  smiINT type = 0, errorStatus = 0, errorIndex = 0;
  smiINT32 requestId = 0;
  HSNMP_VBL bindings = nullptr;
  if (!SnmpGetPduData(reply.pdu, &type, &requestId, &errorStatus, &errorIndex, &bindings)) return;
  if (errorStatus == SNMP_ERROR_NOSUCHNAME) return;
  auto target = std::find_if(targets_.begin(), targets_.end(), [&](const DiscoveryTarget& candidate) {
    return candidate.active && candidate.requestId == requestId;
  });
  // A second answer to a retransmitted request, or one after the wait.
  if (target == targets_.end() || target->answered) return;
  addAgent(*target, reply.context, bindings);
  target->answered = true;
}

void TFormDiscover::addAgent(const DiscoveryTarget& target, HSNMP_CONTEXT context, HSNMP_VBL bindings) {
  QString community = communityText(context);
  QString texts[TFormDiscover::description + 1];
  smiUINT32 ticks = 0;
  smiUINT32 count = bindings ? SnmpCountVbl(bindings) : 0;
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(bindings, index, &name, &value)) continue;
    QString text = QString::fromStdString(valueText(value));
    switch (systemObjectOf(name)) {
      case sysName: texts[TFormDiscover::name] = text; break;
      case sysUpTime:
        texts[upTime] = text;
        if (value.syntax == SNMP_SYNTAX_TIMETICKS) ticks = value.value.uNumber;
        break;
      case sysLocation: texts[location] = text; break;
      case sysContact: texts[contact] = text; break;
      case sysDescr: texts[description] = text; break;
      default: break;
    }
    releaseBinding(name, value);
  }
  if (listed(target.address, community, target.port)) {
    panels_[2]->setText(QStringLiteral("Waiting for replies (skipping ") + texts[TFormDiscover::name] +
                        QStringLiteral(":") + target.address + QStringLiteral(") ..."));
    return;
  }
  texts[address] = target.address;
  texts[TFormDiscover::community] = community;
  texts[port] = QString::number(target.port);
  auto* item = new QTreeWidgetItem(DiscoverListView);
  // The designed widths cut long values; the whole text shows as a hint.
  for (int column = 0; column <= description; ++column) {
    item->setText(column, texts[column]);
    item->setToolTip(column, texts[column]);
  }
  bool local = target.address == host_.managerAddress();
  item->setIcon(0, artwork::listImage(local ? kLocalImage : kRemoteImage));
  item->setData(0, kAddressRole, static_cast<qulonglong>(target.number));
  item->setData(0, kTicksRole, static_cast<qulonglong>(ticks));
  item->setData(0, kPortRole, static_cast<qulonglong>(target.port));
  ++newAgents_;
  showCounts();
}

bool TFormDiscover::listed(const QString& agentAddress, const QString& agentCommunity, UINT agentPort) const {
  for (int index = 0; index < DiscoverListView->topLevelItemCount(); ++index) {
    QTreeWidgetItem* item = DiscoverListView->topLevelItem(index);
    if (item->text(address) == agentAddress && item->text(community) == agentCommunity &&
        item->data(0, kPortRole).toUInt() == agentPort) {
      return true;
    }
  }
  return false;
}

void TFormDiscover::showCounts() {
  panels_[1]->setText(QStringLiteral("New: ") + QString::number(newAgents_) + QStringLiteral(" / ") +
                      QStringLiteral(" Total discovered: ") + QString::number(DiscoverListView->topLevelItemCount()));
}

void TFormDiscover::timerTick() {
  --remainingTicks_;
  if (totalTicks_ > 0) progressBar_->setValue((totalTicks_ - remainingTicks_) * kProgressRange / totalTicks_);
  if (remainingTicks_ > 0) return;
  timer_.stop();
  SpeedButtonCancelClick();
  panels_[1]->setText(QStringLiteral("Total ") + QString::number(DiscoverListView->topLevelItemCount()) +
                      QStringLiteral(" SNMP agents discovered."));
  panels_[2]->setText(QStringLiteral("Discovery finished."));
}

void TFormDiscover::SpeedButtonCancelClick() {
  timer_.stop();
  panels_[2]->setText(QStringLiteral("Canceling operation ..."));
  for (DiscoveryTarget& target : targets_) {
    if (!target.active) continue;
    if (target.entity) SnmpFreeEntity(target.entity);
    target.entity = nullptr;
    target.active = false;
  }
  if (context_) SnmpFreeContext(context_);
  context_ = nullptr;
  if (localEntity_) SnmpFreeEntity(localEntity_);
  localEntity_ = nullptr;
  if (session_) SnmpClose(session_);
  session_ = nullptr;
  panels_[2]->setText(QStringLiteral("Discovery canceled."));
  setBusy(false);
}

void TFormDiscover::SpeedButtonRefreshClick() {
  if (SpeedButtonCancel->isEnabled()) return;
  EditCommunity->setEditText(host_.historyBox(SharedHistory::communities).currentText());
  SNMPPortEdit->setEditText(host_.historyBox(SharedHistory::ports).currentText());
  SpeedButtonClearClick();
  SpeedButtonStartClick();
}

void TFormDiscover::SpeedButtonClearClick() { DiscoverListView->clear(); }

void TFormDiscover::setBusy(bool busy) {
  SpeedButtonStart->setEnabled(!busy);
  SpeedButtonRefresh->setEnabled(!busy);
  SpeedButtonCancel->setEnabled(busy);
  progressBar_->setVisible(busy);
  panels_[0]->setVisible(!busy);
}

void TFormDiscover::sortByColumn(int column) {
  if (column < 0 || column >= spareLeft) return;
  TColumnSortDescriptor& sorted = sortDescriptors_[column];
  sorted.direction = -sorted.direction;
  for (const TColumnSortDescriptor& descriptor : sortDescriptors_) {
    DiscoverListView->headerItem()->setText(descriptor.index, descriptor.caption);
  }
  DiscoverListView->headerItem()->setText(column,
                                          sorted.caption + (sorted.direction == 1 ? QStringLiteral(" +") : QStringLiteral(" -")));
  QList<QTreeWidgetItem*> items;
  while (DiscoverListView->topLevelItemCount() > 0) items << DiscoverListView->takeTopLevelItem(0);
  int direction = sorted.direction;
  std::stable_sort(items.begin(), items.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return compareItems(*a, *b, column) * direction < 0;
  });
  DiscoverListView->addTopLevelItems(items);
}

QString TFormDiscover::panelText(int panel) const {
  return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

void TFormDiscover::clearHistories() {
  clearHistory(*ComboBoxStartDiscover);
  clearHistory(*ComboBoxStopDiscover);
}

void TFormDiscover::addBoxTextsToHistories() {
  HistoryLists& lists = host_.histories();
  for (QComboBox* box : {ComboBoxStartDiscover, ComboBoxStopDiscover, EditCommunity, SNMPPortEdit}) {
    lists.add(*box, box->currentText());
  }
}

void TFormDiscover::copyMainHistories() {
  HistoryLists& lists = host_.histories();
  lists.copyInto(*EditCommunity, host_.historyBox(SharedHistory::communities));
  lists.copyInto(*SNMPPortEdit, host_.historyBox(SharedHistory::ports));
}

void TFormDiscover::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) copyMainHistories();
    else addBoxTextsToHistories();
  }
  QWidget::changeEvent(event);
}

void TFormDiscover::hideEvent(QHideEvent* event) {
  addBoxTextsToHistories();
  QWidget::hideEvent(event);
}

void TFormDiscover::closeEvent(QCloseEvent* event) {
  SpeedButtonCancelClick();
  addBoxTextsToHistories();
  QWidget::closeEvent(event);
}

bool TFormDiscover::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    SpeedButtonStartClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TFormDiscover::loadSettings() {
  restoreWindowPlace(*this, kPlace);
  SettingsKey columns(kColumnSection);
  for (int column = 0; column < kStoredColumnWidths; ++column) {
    std::string name = "C" + std::to_string(column);
    DiscoverListView->setColumnWidth(column, columns.readNumber(name.c_str(), kColumns[column].width));
  }
  QString local = host_.managerAddress();
  HistoryLists& lists = host_.histories();
  lists.load(kStartSection, "StartIP_", local, *ComboBoxStartDiscover);
  lists.load(kStopSection, "StopIP_", local, *ComboBoxStopDiscover);
}

void TFormDiscover::saveSettings() {
  storeWindowPlace(*this, kPlace);
  SettingsKey columns(kColumnSection);
  for (int column = 0; column < kStoredColumnWidths; ++column) {
    std::string name = "C" + std::to_string(column);
    columns.writeNumber(name.c_str(), DiscoverListView->columnWidth(column));
  }
  HistoryLists& lists = host_.histories();
  lists.save(kStartSection, "StartIP_", *ComboBoxStartDiscover);
  lists.save(kStopSection, "StopIP_", *ComboBoxStopDiscover);
}

}  // namespace netlens
