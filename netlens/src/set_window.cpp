// The Set window: its layout, its checks and its one request.
#include "set_window.h"

#include "artwork.h"
#include "binding_text.h"
#include "browser_host.h"
#include "browser_texts.h"
#include "settings_key.h"
#include "window_layout.h"

#include "platform/message_box.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace netlens {
namespace {

const WindowPlace kPlace{"Layouts\\Set", 20, 20, QSize()};
constexpr char kHistorySection[] = "HistoryLists\\Set";

struct SyntaxChoice {
  smiUINT32 syntax;
  const char* caption;
};

const SyntaxChoice kSyntaxChoices[] = {
    {SNMP_SYNTAX_INT, "Integer32"},     {SNMP_SYNTAX_UINT32, "UInteger32"}, {SNMP_SYNTAX_CNTR32, "Counter32"},
    {SNMP_SYNTAX_GAUGE32, "Gauge32"},   {SNMP_SYNTAX_TIMETICKS, "Timeticks"}, {SNMP_SYNTAX_IPADDR, "IP Address"},
    {SNMP_SYNTAX_OID, "OID"},           {SNMP_SYNTAX_OCTETS, "Octets"},     {SNMP_SYNTAX_CNTR64, "Counter64"},
    {SNMP_SYNTAX_OPAQUE, "Opaque"},     {SNMP_SYNTAX_NSAPADDR, "Nsapaddr"}, {SNMP_SYNTAX_BITS, "Bits"},
};

QComboBox* historyBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumContentsLength(16);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return box;
}

QString outcomeText(smiINT status) {
  switch (status) {
    case SNMP_ERROR_NOERROR: return QStringLiteral("Success.");
    case SNMP_ERROR_TOOBIG: return QStringLiteral("Error: Too big.");
    case SNMP_ERROR_NOSUCHNAME: return QStringLiteral("Error: No such name.");
    case SNMP_ERROR_BADVALUE: return QStringLiteral("Error: Bad value.");
    case SNMP_ERROR_READONLY: return QStringLiteral("Error: Read only.");
    case SNMP_ERROR_GENERR: return QStringLiteral("Error: Generic error.");
    default: return QStringLiteral("Error: ") + QString::number(status) + QStringLiteral(".");
  }
}

// Whether a node lies in a table: an ancestor's name holds "Table" or "Entry".
bool liesInTable(HWSM_NODE node) {
  for (int depth = 0; depth < 256 && (node = WsmFindNodeParent(node)); ++depth) {
    std::string name = nodeName(node);
    if (name.find("Table") != std::string::npos || name.find("Entry") != std::string::npos) return true;
  }
  return false;
}

void errorBox(const QString& message) {
  MessageBoxA(nullptr, message.toUtf8().constData(), "Error", MB_OK | MB_ICONERROR);
}

void informationBox(const QString& message) {
  MessageBoxA(nullptr, message.toUtf8().constData(), "Information", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

TFormMibSet::TFormMibSet(BrowserHost& host, QWidget* owner)
    : QWidget(owner, Qt::Window),
      host_(host),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }),
      request_(window_.handle(), kNotifyMessage),
      semaphore_(this) {
  setObjectName(QStringLiteral("FormMibSet"));
  request_.setDeadlineHandler([this] { requestTimedOut(); });
  setWindowTitle(QStringLiteral("Set"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* tools = new QToolBar(this);
  tools->setIconSize(QSize(16, 16));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* setAction = tools->addAction(artwork::glyph(artwork::Glyph::set), QStringLiteral("&Set"));
  setAction->setToolTip(QStringLiteral("Set Value in Remote SNMP Agent"));
  QAction* cancelAction = tools->addAction(artwork::glyph(artwork::Glyph::abort), QStringLiteral("&Cancel"));
  cancelAction->setToolTip(QStringLiteral("Abort Current Operation"));
  tools->addSeparator();
  QAction* back = tools->addAction(artwork::glyph(artwork::Glyph::goToBrowser), QString());
  back->setToolTip(QString::fromLatin1(kGoToBrowserHint));
  ButtonSet = qobject_cast<QToolButton*>(tools->widgetForAction(setAction));
  ButtonSet->setObjectName(QStringLiteral("ButtonSet"));
  ButtonCancel = qobject_cast<QToolButton*>(tools->widgetForAction(cancelAction));
  ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
  connect(setAction, &QAction::triggered, this, &TFormMibSet::ButtonSetClick);
  connect(cancelAction, &QAction::triggered, this, &TFormMibSet::ButtonCancelClick);
  connect(back, &QAction::triggered, this, [this] { host_.bringToFront(); });
  layout->addWidget(tools);

  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 6, 8, 8);
  body->addWidget(makeAgentGroup());
  body->addWidget(makeVariableGroup());
  body->addWidget(makeSyntaxGroup());
  layout->addLayout(body, 1);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  status->addWidget(new SemaphorePanel(&semaphore_, status));
  statusPanel_ = new QLabel(status);
  statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
  status->addWidget(statusPanel_, 1);
  layout->addWidget(status);

  HistoryLists& lists = host_.histories();
  lists.load(kHistorySection, "SetHistory_", QStringLiteral("0"), *ComboBoxValue);
  lists.load(kHistorySection, "OidHistory_", QStringLiteral("1.3.6.1.2.1.1.4.0"), *ComboBoxOid);
  for (QComboBox* box : {ComboBoxAgent, ComboBoxCommunity, ComboBoxOid, ComboBoxValue}) {
    box->lineEdit()->installEventFilter(this);
  }
  setBusy(false);
  restoreWindowPlace(*this, kPlace);
}

TFormMibSet::~TFormMibSet() {
  storeWindowPlace(*this, kPlace);
  // Both lists live in one section: emptied once, then written together.
  HistoryLists& lists = host_.histories();
  SettingsKey(kHistorySection).erase();
  lists.write(kHistorySection, "SetHistory_", *ComboBoxValue);
  lists.write(kHistorySection, "OidHistory_", *ComboBoxOid);
}

QWidget* TFormMibSet::makeAgentGroup() {
  auto* group = new QGroupBox(QStringLiteral("Remote SNMP Agent"), this);
  auto* form = new QFormLayout(group);
  ComboBoxAgent = historyBox(group, "ComboBoxAgent");
  ComboBoxCommunity = historyBox(group, "ComboBoxCommunity");
  ComboBoxPort = historyBox(group, "ComboBoxPort");
  form->addRow(QStringLiteral("&Agent:"), ComboBoxAgent);
  form->addRow(QStringLiteral("C&ommunity:"), ComboBoxCommunity);
  form->addRow(QStringLiteral("SNMP &Port:"), ComboBoxPort);
  shareHistory(*ComboBoxAgent, SharedHistory::agents, host_);
  shareHistory(*ComboBoxCommunity, SharedHistory::communities, host_);
  shareHistory(*ComboBoxPort, SharedHistory::ports, host_);
  ComboBoxCommunity->setEditText(host_.historyBox(SharedHistory::communities).currentText());
  ComboBoxPort->setEditText(host_.historyBox(SharedHistory::ports).currentText());
  return group;
}

QWidget* TFormMibSet::makeVariableGroup() {
  auto* group = new QGroupBox(QStringLiteral("Variable"), this);
  auto* form = new QFormLayout(group);
  ComboBoxOid = historyBox(group, "ComboBoxOid");
  ComboBoxValue = historyBox(group, "ComboBoxValue");
  form->addRow(QStringLiteral("O&ID:"), ComboBoxOid);
  form->addRow(QStringLiteral("&Value:"), ComboBoxValue);
  return group;
}

QWidget* TFormMibSet::makeSyntaxGroup() {
  auto* group = new QGroupBox(QStringLiteral("Syntax"), this);
  auto* grid = new QGridLayout(group);
  syntaxButtons_ = new QButtonGroup(this);
  int index = 0;
  for (const SyntaxChoice& choice : kSyntaxChoices) {
    auto* button = new QRadioButton(QString::fromLatin1(choice.caption), group);
    button->setObjectName(QStringLiteral("RadioButton") + QString::fromLatin1(choice.caption).remove(QLatin1Char(' ')));
    syntaxButtons_->addButton(button, static_cast<int>(choice.syntax));
    grid->addWidget(button, index % 4, index / 4);
    ++index;
  }
  return group;
}

std::optional<smiUINT32> TFormMibSet::checkedSyntax() const {
  int id = syntaxButtons_->checkedId();
  if (id < 0) return std::nullopt;
  return static_cast<smiUINT32>(id);
}

void TFormMibSet::checkSyntaxButton(smiUINT32 syntax) {
  syntaxButtons_->setExclusive(false);
  for (QAbstractButton* button : syntaxButtons_->buttons()) button->setChecked(false);
  syntaxButtons_->setExclusive(true);
  if (QAbstractButton* button = syntaxButtons_->button(static_cast<int>(syntax))) button->setChecked(true);
}

void TFormMibSet::prepare(const QString& agent, const QString& nodeName, const std::optional<QString>& suffix) {
  HWSM_NODE node = nodeNamed(nodeName.toStdString());
  QString caption = node ? QStringLiteral("Set - ") + nodeName : QStringLiteral("Set");
  smiUINT32 syntax = nodeInt(node, WSM_NODE_SYNTAX).value_or(0);
  QString oidText;
  if (node) {
    OwnedOid oid = nodeOid(node);
    if (!oid.empty()) oidText = QString::fromStdString(dottedOid(oid.get()));
  }
  if (!oidText.isEmpty() && syntax != 0 && syntax != 48) {
    QString instance = suffix ? QStringLiteral(".") + *suffix : liesInTable(node) ? QStringLiteral(".1")
                                                                                 : QStringLiteral(".0");
    oidText += instance;
    caption += instance;
  }
  setWindowTitle(caption);
  ComboBoxOid->setEditText(oidText);
  ComboBoxAgent->setEditText(agent);
  checkSyntaxButton(syntax);
}

bool TFormMibSet::refuse(const QString& status, const QString& message) {
  setStatus(status, SEM_ERROR);
  errorBox(message);
  return false;
}

bool TFormMibSet::checkInput() {
  setStatus(QStringLiteral("Checking input..."), SEM_PREPARE_STOP);
  auto syntax = checkedSyntax();
  if (!syntax) return refuse(QStringLiteral("Syntax not selected."), QStringLiteral("Syntax not selected."));
  if (ComboBoxAgent->currentText().isEmpty()) {
    return refuse(QStringLiteral("Remote IP agent not set."), QStringLiteral("Remote IP agent address not set."));
  }
  if (ComboBoxCommunity->currentText().isEmpty()) {
    return refuse(QStringLiteral("Community not set."), QStringLiteral("Community not set."));
  }
  QString value = ComboBoxValue->currentText();
  if (value.isEmpty()) return refuse(QStringLiteral("Value not set."), QStringLiteral("Value not set."));
  if (!value_.convert(*syntax, value)) {
    return refuse(QStringLiteral("Value conversion failed."),
                  QStringLiteral("Could not convert value \"") + value + QStringLiteral("\" to internal form."));
  }
  QString oidText = ComboBoxOid->currentText();
  if (oidText.isEmpty()) return refuse(QStringLiteral("OID not set."), QStringLiteral("OID not set."));
  oid_ = OwnedOid();
  if (!SnmpStrToOid(oidText.trimmed().toLatin1().constData(), oid_.out())) {
    return refuse(QStringLiteral("OID conversion failed."),
                  QStringLiteral("Could not convert OID \"") + oidText + QStringLiteral("\" to internal form."));
  }
  setStatus(QStringLiteral("Input verified..."), SEM_PREPARE_STOP);
  return true;
}

void TFormMibSet::ButtonSetClick() {
  HistoryLists& lists = host_.histories();
  for (QComboBox* box : {ComboBoxAgent, ComboBoxCommunity, ComboBoxPort, ComboBoxOid, ComboBoxValue}) {
    lists.add(*box, box->currentText());
  }
  if (!checkInput()) return;
  auto policy = host_.sessionPolicy();
  if (!policy) return;
  // The window's own port box names the agent's port.
  auto port = integerFromText(ComboBoxPort->currentText());
  if (!port) return;
  policy->port = static_cast<UINT>(*port);
  send(*policy);
}

void TFormMibSet::send(const SessionPolicy& policy) {
  setStatus(QStringLiteral("Initializing transport..."), SEM_PREPARE_STOP);
  if (!SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr)) {
    informationBox(QStringLiteral("SnmpStartup error : ") + QString::number(SnmpGetLastError(nullptr)));
    return;
  }
  if (!SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1)) {
    informationBox(QStringLiteral("SnmpSetTranslateMode error : ") + QString::number(SnmpGetLastError(nullptr)));
    return;
  }
  SnmpSetRetransmitMode(SNMPAPI_ON);
  // A new Set replaces the one before, answered or not.
  request_.closeSession();
  QString agent = ComboBoxAgent->currentText();
  request_.agentAddress = agent.toStdString();
  request_.managerAddress = host_.managerAddress().toStdString();
  request_.community = ComboBoxCommunity->currentText().toStdString();
  if (!request_.openSession(policy)) {
    refuse(QStringLiteral("Session not opened."),
           QStringLiteral("SnmpOpen error : ") + QString::number(SnmpGetLastError(nullptr)));
    return;
  }
  setBusy(true);
  setStatus(QStringLiteral("Sending SET request..."), SEM_WORKING);
  if (!request_.send(SNMP_PDU_SET, oid_.get(), &value_.value())) {
    setBusy(false);
    refuse(QStringLiteral("Request not sent."),
           QStringLiteral("SnmpSendMsg error : ") + QString::number(SnmpGetLastError(request_.session)));
    return;
  }
  setStatus(QStringLiteral("Waiting for reply from ") + agent + QStringLiteral("..."), SEM_WORKING);
}

void TFormMibSet::ButtonCancelClick() {
  request_.closeSession();
  setStatus(QStringLiteral("Operation aborted."), SEM_IDLE);
  setBusy(false);
}

void TFormMibSet::clearHistories() {
  clearHistory(*ComboBoxValue);
  clearHistory(*ComboBoxOid);
}

QString TFormMibSet::statusText() const { return statusPanel_->text(); }

void TFormMibSet::setStatus(const QString& text, TSemaphoreState light) {
  statusPanel_->setText(text);
  semaphore_.setSemaphoreState(light);
}

void TFormMibSet::setBusy(bool busy) {
  busy_ = busy;
  ButtonSet->setEnabled(!busy);
  ButtonCancel->setEnabled(busy);
}

bool TFormMibSet::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    ButtonSetClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

LRESULT TFormMibSet::windowProcedure(HWND, UINT message, WPARAM, LPARAM) {
  if (message == kNotifyMessage) answerArrived();
  return 0;
}

void TFormMibSet::requestTimedOut() {
  request_.forgetRequest();
  setStatus(QStringLiteral("Request timed out."), SEM_ERROR);
  setBusy(false);
}

void TFormMibSet::answerArrived() {
  ReceivedMessage received(request_);
  if (!busy_ || !request_.requestInFlight()) return;
  if (received.timedOut()) {
    requestTimedOut();
    return;
  }
  // Late, duplicated and stray datagrams are dropped; the right answer may
  // still come.
  if (!received.received() || !request_.isAnswer(received.source, received.pdu)) return;
  request_.answered();
  PduData answer(received.pdu);
  QString outcome = outcomeText(answer.errorStatus);
  statusPanel_->setText(outcome);
  host_.addResultLine(QStringLiteral("***** SNMP SET-RESPONSE START *****"));
  if (answer.errorStatus != SNMP_ERROR_NOERROR) {
    host_.addResultLine(outcome + QStringLiteral(" Error index: ") + QString::number(answer.errorIndex) +
                        QStringLiteral("."));
  }
  smiUINT32 count = answer.bindings ? SnmpCountVbl(answer.bindings) : 0;
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(answer.bindings, index, &name, &value)) continue;
    host_.addResultLine(QString::fromStdString(bindingLine(name, value)));
    releaseBinding(name, value);
  }
  host_.addResultLine(QStringLiteral("***** SNMP SET-RESPONSE END *****"));
  semaphore_.setSemaphoreState(answer.errorStatus == SNMP_ERROR_NOERROR ? SEM_GO : SEM_ERROR);
  setBusy(false);
}

}  // namespace netlens
