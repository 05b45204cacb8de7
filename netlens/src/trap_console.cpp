// The trap console: registration, the tree of each trap, the count and
// the alarm.
#include "trap_console.h"

#include "agent_request.h"
#include "artwork.h"
#include "binding_text.h"
#include "browser_host.h"
#include "browser_texts.h"
#include "received_item.h"
#include "window_layout.h"

#include "platform/message_box.h"
#include "platform/messages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace netlens {
namespace {

const WindowPlace kPlace{"Layouts\\Trap Ringer", 20, 20, QSize(400, 200)};
constexpr int kFlashMilliseconds = 500;
// The catcher window lives on this thread's platform queue, which the Qt
// event loop does not read; it is emptied this often.
constexpr int kPumpMilliseconds = 50;
constexpr int kMostMessagesPerPump = 200;
constexpr smiUINT32 kEntityRetry = 500;
constexpr smiUINT32 kEntityTimeout = 500;

// The local date and time of a trap: the short date and the time with
// seconds, in the user's locale.
QString receivedAt() {
  QLocale locale;
  QDateTime now = QDateTime::currentDateTime();
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  // The long format also names the time zone, which the console leaves out.
  timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+")));
  return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') + locale.toString(now.time(), timeFormat);
}

struct Binding {
  smiOID name{};
  smiVALUE value{};
  bool fetched = false;

  Binding(HSNMP_VBL list, smiUINT32 index) { fetched = list && SnmpGetVb(list, index, &name, &value); }
  ~Binding() {
    if (fetched) releaseBinding(name, value);
  }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  QString valueText() const { return fetched ? QString::fromStdString(netlens::valueText(value)) : QString(); }
};

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text) {
  auto* node = new QTreeWidgetItem(parent);
  node->setText(0, text);
  return node;
}

}  // namespace

TNotificationConsole::TNotificationConsole(BrowserHost& browser, TrapConsoleHost& host, QWidget* owner)
    : QWidget(owner, Qt::Window),
      host_(host),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }) {
  setObjectName(QStringLiteral("NotificationConsole"));
  setWindowTitle(QStringLiteral("SNMP Trap Ringer Console"));
  setWindowIcon(artwork::glyph(artwork::Glyph::trapRinger));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  createToolbar(browser);
  NotifyTreeView = new QTreeWidget(this);
  NotifyTreeView->setObjectName(QStringLiteral("NotifyTreeView"));
  NotifyTreeView->setHeaderHidden(true);
  NotifyTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  NotifyTreeView->setUniformRowHeights(true);
  // Long binding lines scroll sideways instead of being cut.
  NotifyTreeView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  NotifyTreeView->header()->setStretchLastSection(false);
  layout->addWidget(NotifyTreeView, 1);
  auto* status = new QStatusBar(this);
  statusPanel_ = new QLabel(status);
  statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
  status->addWidget(statusPanel_, 1);
  layout->addWidget(status);

  TimerAlarmFlush.setInterval(kFlashMilliseconds);
  connect(&TimerAlarmFlush, &QTimer::timeout, this, &TNotificationConsole::flashTick);
  platformPump_.setInterval(kPumpMilliseconds);
  connect(&platformPump_, &QTimer::timeout, this, &TNotificationConsole::pumpPlatformMessages);
  restoreWindowPlace(*this, kPlace);
  startLibrary();
}

TNotificationConsole::~TNotificationConsole() {
  platformPump_.stop();
  if (context_) SnmpFreeContext(context_);
  for (HSNMP_ENTITY entity : {localEntity_, remoteEntity_}) {
    if (entity) SnmpFreeEntity(entity);
  }
  if (session_) SnmpClose(session_);
  if (started_) SnmpCleanup();
  storeWindowPlace(*this, kPlace);
}

void TNotificationConsole::createToolbar(BrowserHost& browser) {
  auto* tools = new QToolBar(this);
  tools->setIconSize(QSize(16, 16));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* acknowledge = tools->addAction(artwork::glyph(artwork::Glyph::trapRinger), QStringLiteral("&Acknowledge"));
  acknowledge->setToolTip(QStringLiteral("Acknowledge Notifications"));
  QAction* clear = tools->addAction(artwork::glyph(artwork::Glyph::clear), QStringLiteral("&Clear"));
  clear->setToolTip(QStringLiteral("Clear Notifications"));
  tools->addSeparator();
  QAction* back = tools->addAction(artwork::glyph(artwork::Glyph::goToBrowser), QString());
  back->setToolTip(QString::fromLatin1(kGoToBrowserHint));
  tools->widgetForAction(acknowledge)->setObjectName(QStringLiteral("SpeedButtonAcknowledge"));
  tools->widgetForAction(clear)->setObjectName(QStringLiteral("SpeedButtonClear"));
  connect(acknowledge, &QAction::triggered, this, &TNotificationConsole::SpeedButtonAcknowledgeClick);
  connect(clear, &QAction::triggered, this, &TNotificationConsole::SpeedButtonClearClick);
  connect(back, &QAction::triggered, this, [&browser] { browser.bringToFront(); });
  layout()->addWidget(tools);
}

void TNotificationConsole::startLibrary() {
  if (SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_SUCCESS) {
    QByteArray text = (QStringLiteral("SnmpStartup error : ") + QString::number(SnmpGetLastError(nullptr))).toUtf8();
    MessageBoxA(nullptr, text.constData(), "Information", MB_OK | MB_ICONINFORMATION);
    return;
  }
  started_ = true;
  session_ = SnmpOpen(window_.handle(), kNotifyMessage);
  if (session_) {
    registered_ = SnmpRegister(session_, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON) == SNMPAPI_SUCCESS;
    // The catcher window that the registration made answers the trap
    // server on this thread.
    if (registered_) platformPump_.start();
    localEntity_ = SnmpStrToEntity(session_, "0.0.0.0");
    remoteEntity_ = SnmpStrToEntity(session_, "0.0.0.0");
    smiOCTETS community{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("vulpes"))};
    context_ = SnmpStrToContext(session_, &community);
    for (HSNMP_ENTITY entity : {localEntity_, remoteEntity_}) {
      if (!entity) continue;
      SnmpSetRetry(entity, kEntityRetry);
      SnmpSetTimeout(entity, kEntityTimeout);
    }
    SnmpSetRetransmitMode(SNMPAPI_ON);
  }
  showCount();
}

void TNotificationConsole::pumpPlatformMessages() {
  MSG message;
  for (int taken = 0; taken < kMostMessagesPerPump && PeekMessage(&message, nullptr, 0, 0, PM_REMOVE); ++taken) {
    DispatchMessage(&message);
  }
}

LRESULT TNotificationConsole::windowProcedure(HWND, UINT message, WPARAM, LPARAM) {
  if (message == kNotifyMessage) notificationArrived();
  return 0;
}

void TNotificationConsole::notificationArrived() {
  // The console sends nothing, so nothing of its own can time out; a
  // failed receive hands out nothing to free.
  ReceivedItem trap(session_);
  if (!trap.received() || !trap.pdu) return;
  smiINT type = 0, errorStatus = 0, errorIndex = 0;
  smiINT32 requestId = 0;
  HSNMP_VBL bindings = nullptr;
  if (!SnmpGetPduData(trap.pdu, &type, &requestId, &errorStatus, &errorIndex, &bindings)) return;
  if (errorStatus == SNMP_ERROR_NOSUCHNAME) return;
  if (type != SNMP_PDU_TRAP && type != SNMP_PDU_V1TRAP) return;
  showTrap(trap.source, trap.destination, trap.context, bindings);
  ++trapCount_;
  showCount();
  ringAlarm(entityText(trap.source));
}

void TNotificationConsole::showTrap(HSNMP_ENTITY source, HSNMP_ENTITY destination, HSNMP_CONTEXT context,
                                    HSNMP_VBL bindings) {
  smiUINT32 count = bindings ? SnmpCountVbl(bindings) : 0;
  QString agent = entityText(source);
  QString title = QStringLiteral("Notification");
  if (count >= 2) {
    Binding trapOid(bindings, 2);
    if (trapOid.fetched && trapOid.value.syntax == SNMP_SYNTAX_OID) title = trapOid.valueText();
  }
  auto* top = new QTreeWidgetItem(NotifyTreeView);
  top->setText(0, title + QStringLiteral(" received from: ") + agent + QStringLiteral(" at ") + receivedAt());
  top->setIcon(0, artwork::glyph(artwork::Glyph::trapRinger));
  addNode(top, QStringLiteral("TimeStamp: ") + (count >= 1 ? Binding(bindings, 1).valueText() : QString()));
  addNode(top, QStringLiteral("Agent address: ") + agent);
  addNode(top, QStringLiteral("Manager address: ") + entityText(destination));
  addNode(top, QStringLiteral("Community: ") + communityText(context));
  addNode(top, QStringLiteral("Enterprise: ") + (count >= 1 ? Binding(bindings, count).valueText() : QString()));
  QTreeWidgetItem* list = addNode(top, QStringLiteral("Bindings (") + QString::number(count) + QStringLiteral(")"));
  for (smiUINT32 index = 1; index <= count; ++index) {
    Binding binding(bindings, index);
    QString line = binding.fetched ? QString::fromStdString(bindingLine(binding.name, binding.value)) : QString();
    addNode(list, QStringLiteral("Binding #") + QString::number(index) + QStringLiteral(": ") + line);
  }
  top->setExpanded(true);
  list->setExpanded(true);
  NotifyTreeView->scrollToItem(top);
}

void TNotificationConsole::ringAlarm(const QString& agent) {
  host_.trapReceivedFrom(agent);
  TrapAlarm& alarm = host_.trapAlarm();
  if (alarm.state != alarmRinging) {
    alarm.state = alarmRinging;
    alarm.flash = true;
    host_.drawTrapAlarm();
    TimerAlarmFlush.start();
  }
  if (host_.beepOnTrap()) QApplication::beep();
  if (host_.popupOnTrap()) showConsole();
}

void TNotificationConsole::flashTick() {
  TrapAlarm& alarm = host_.trapAlarm();
  if (alarm.state != alarmRinging) {
    TimerAlarmFlush.stop();
    return;
  }
  alarm.flash = !alarm.flash;
  host_.drawTrapAlarm();
}

void TNotificationConsole::SpeedButtonAcknowledgeClick() {
  TrapAlarm& alarm = host_.trapAlarm();
  alarm.state = NotifyTreeView->topLevelItemCount() > 0 ? alarmAcknowledged : alarmQuiet;
  TimerAlarmFlush.stop();
  alarm.flash = true;
  host_.drawTrapAlarm();
}

void TNotificationConsole::SpeedButtonClearClick() {
  NotifyTreeView->clear();
  TimerAlarmFlush.stop();
  TrapAlarm& alarm = host_.trapAlarm();
  alarm.state = alarmQuiet;
  alarm.flash = true;
  host_.drawTrapAlarm();
  trapCount_ = 0;
  showCount();
}

void TNotificationConsole::showConsole() {
  showCount();
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void TNotificationConsole::showCount() {
  statusPanel_->setText(QString::number(trapCount_) + QStringLiteral(" SNMP notifications received."));
}

QString TNotificationConsole::statusText() const { return statusPanel_->text(); }

void TNotificationConsole::closeEvent(QCloseEvent* event) {
  hide();
  event->ignore();
}

}  // namespace netlens
