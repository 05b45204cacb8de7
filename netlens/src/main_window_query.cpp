// The main window's conversation with an agent: Contact, Query (a walk
// with GetNext requests), Abort, Clear and Copy, and the handling of each
// answer.
#include "main_window.h"

#include "binding_text.h"
#include "mib_node.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "status_panels.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <limits>
#include <vector>

namespace netlens {
namespace {

constexpr smiUINT32 kSysUpTime[] = {1, 3, 6, 1, 2, 1, 1, 3};
constexpr smiUINT32 kSysDescr[] = {1, 3, 6, 1, 2, 1, 1, 1};
constexpr int kLinesDroppedWhenFull = 11;

smiOID constantOid(const smiUINT32 (&parts)[8]) { return smiOID{8, const_cast<smiUINT32*>(parts)}; }

// The first OID after the subtree of `oid`: its last sub-identifier plus
// one, carried into the one before when it is already the largest. Empty
// when no OID follows the subtree.
std::vector<smiUINT32> subtreeBound(const smiOID& oid) {
  std::vector<smiUINT32> bound(oid.ptr, oid.ptr + oid.len);
  while (!bound.empty() && bound.back() == std::numeric_limits<smiUINT32>::max()) bound.pop_back();
  if (!bound.empty()) ++bound.back();
  return bound;
}

// The OID text of the status bar while a walk runs.
QString statusOid(const smiOID& oid) {
  char text[199] = {};
  if (!SnmpOidToStr(&oid, sizeof text, text)) return QStringLiteral("*** TOO LARGE ***");
  return QString::fromLatin1(text);
}

}  // namespace

void TZormNL32::enterState(TQueryState state) {
  queryState_ = state;
  QueryStateLook look = queryStateLook(state);
  statusTextPanel_->setText(queryStateText(state, queryTab_->ComboBoxRSnmpAgent->currentText()));
  semaphore_.setSemaphoreState(look.light);
  actions_.at(QStringLiteral("actionContact"))->setEnabled(look.contact);
  actions_.at(QStringLiteral("actionQuery"))->setEnabled(look.query);
  actions_.at(QStringLiteral("actionAbort"))->setEnabled(look.abort);
  actions_.at(QStringLiteral("actionClear"))->setEnabled(state != qsInitializing);
  if (state == qsInitializing) actions_.at(QStringLiteral("actionCopy"))->setEnabled(false);
  queryTab_->ComboBoxRSnmpAgent->setEnabled(look.contact);
  for (const QString& line : queryStateLines(state)) addResultLine(line);
}

void TZormNL32::addResultLine(const QString& line) {
  QPlainTextEdit* pane = queryTab_->MemoBResult;
  // A full pane gives up its oldest lines, and the new one still comes.
  if (pane->blockCount() >= kResultLineCapacity) {
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, kLinesDroppedWhenFull);
    cursor.removeSelectedText();
  }
  pane->appendPlainText(line);
}

std::optional<SessionPolicy> TZormNL32::sessionPolicy() {
  PreferencesTab* preferences = preferencesTab_;
  auto port = integerFromText(preferences->ComboBoxSnmpPort->currentText());
  if (!port) return std::nullopt;
  auto retransmits = integerFromText(preferences->EditRetransmits->text());
  if (!retransmits) return std::nullopt;
  auto timeout = integerFromText(preferences->EditTimeout->text());
  if (!timeout) return std::nullopt;
  if (*timeout < 1) {
    preferences->EditTimeout->setText(QStringLiteral("1"));
    timeout = 1;
  }
  SessionPolicy policy;
  policy.port = static_cast<UINT>(*port);
  policy.retransmits = static_cast<smiUINT32>(*retransmits);
  policy.timeoutSeconds = static_cast<smiUINT32>(*timeout);
  policy.snmpV2c = preferencesTab_->CheckBoxSnmpV2c->isChecked();
  return policy;
}

void TZormNL32::applyTimeoutAndRetransmits() {
  PreferencesTab* preferences = preferencesTab_;
  auto timeout = integerFromText(preferences->EditTimeout->text());
  if (!timeout) return;
  if (*timeout < 1) preferences->EditTimeout->setText(QStringLiteral("1"));
  auto retransmits = integerFromText(preferences->EditRetransmits->text());
  if (!retransmits || !request_.open) return;
  request_.applyPolicy(static_cast<smiUINT32>(*retransmits), static_cast<smiUINT32>(std::max(*timeout, 1)));
}

void TZormNL32::restoreSplitForResults() {
  if (preferencesTab_->CheckBoxSmartResults->isChecked() && queryTab_->sizeState() == kTreeEnlarged) {
    queryTab_->setSizeState(kSplit);
  }
}

void TZormNL32::SpeedButtonContactClick() {
  if (!queryStateLook(queryState_).contact) return;
  // The numbers are read first, so that a box without one leaves
  // everything as it was.
  auto policy = sessionPolicy();
  if (!policy) return;
  restoreSplitForResults();
  actions_.at(QStringLiteral("actionCopy"))->setEnabled(true);
  enterState(qsContacting);
  if (request_.open) {
    request_.closeSession();
    addResultLine(QStringLiteral("Closing connection!"));
  }
  QComboBox* agent = queryTab_->ComboBoxRSnmpAgent;
  histories_.add(*agent, agent->currentText());
  rememberedAgent_ = agent->currentText();
  addResultLine(QString());
  addResultLine(QStringLiteral("Local IP: ") + managerAddress());
  addResultLine(QStringLiteral("Remote IP: ") + agent->currentText());
  request_.managerAddress = managerAddress().toStdString();
  request_.agentAddress = agent->currentText().trimmed().toStdString();
  request_.community = preferencesTab_->ComboBoxCommunity->currentText().toStdString();
  if (!request_.openSession(*policy)) {
    enterState(qsNotContacted);
    return;
  }
  request_.setCurrentOid(constantOid(kSysUpTime));
  request_.clearWalkBound();
  // An agent address the library cannot send to never answers.
  if (!request_.sendGetNext()) enterState(qsNotResponding);
}

void TZormNL32::SpeedButtonQueryClick() {
  if (!queryStateLook(queryState_).query) return;
  if (preferencesTab_->CheckBoxClearOldResults->isChecked()) SpeedButtonClearClick();
  restoreSplitForResults();
  actions_.at(QStringLiteral("actionCopy"))->setEnabled(true);
  enterState(qsQuerying);
  request_.setCurrentOid(constantOid(kSysDescr));
  request_.clearWalkBound();
  OwnedOid start = nodeOid(selectedNode());
  if (!start.empty()) {
    request_.setCurrentOid(start.get());
    if (!queryTab_->CheckBoxBrowseAll->isChecked()) {
      std::vector<smiUINT32> bound = subtreeBound(start.get());
      if (!bound.empty()) request_.setWalkBound(smiOID{static_cast<smiUINT32>(bound.size()), bound.data()});
    }
  }
  sendWalkRequest();
}

void TZormNL32::sendWalkRequest() {
  ++requestCount_;
  statusTextPanel_->setText(QStringLiteral("Query ") + statusOid(request_.currentOid) + QStringLiteral(" ..."));
  requestCountPanel_->setText(QString::number(requestCount_));
  if (!request_.sendWalk()) enterState(qsNotResponding);
}

void TZormNL32::SpeedButtonAbortClick() {
  if (queryState_ == qsContacting) enterState(qsNotContacted);
  else if (queryState_ == qsQuerying) enterState(qsAborted);
  else return;
  // A fresh entity: the abandoned request is neither resent nor reported.
  auto port = integerFromText(preferencesTab_->ComboBoxSnmpPort->currentText());
  request_.renewRemoteEntity(port ? static_cast<UINT>(*port) : request_.port);
}

void TZormNL32::SpeedButtonClearClick() {
  queryTab_->MemoBResult->clear();
  requestCount_ = 0;
  requestCountPanel_->setText(QString());
}

void TZormNL32::SpeedButtonCopyClipboardClick() {
  QPlainTextEdit* pane = queryTab_->MemoBResult;
  if (pane->textCursor().hasSelection()) {
    pane->copy();
    return;
  }
  QTextCursor kept = pane->textCursor();
  pane->selectAll();
  pane->copy();
  pane->setTextCursor(kept);
}

void TZormNL32::agentTextChanged(const QString& text) {
  showAgentVersion(text);
  if (text != rememberedAgent_ && queryState_ != qsInitializing && queryState_ != qsNotContacted) {
    enterState(qsNotContacted);
  }
}

LRESULT TZormNL32::windowProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == kNotifyMessage) answerArrived(wParam);
  return 0;
}

void TZormNL32::requestTimedOut() {
  request_.forgetRequest();
  addResultLine(QStringLiteral("TIMEOUT"));
  enterState(qsNotResponding);
}

void TZormNL32::answerArrived(WPARAM error) {
  if (error) {
    if (error == SNMPAPI_TL_TIMEOUT && request_.requestInFlight()) requestTimedOut();
    return;
  }
  ReceivedMessage received(request_);
  if (received.timedOut()) {
    // Only the request in flight can time out; one given up on was never
    // going to be reported.
    if (request_.requestInFlight()) requestTimedOut();
    return;
  }
  if (!received.received()) return;
  PduData answer(received.pdu);
  bool listening = queryState_ == qsContacting || queryState_ == qsContacted || queryState_ == qsQuerying ||
                   queryState_ == qsFinished;
  if (answer.type == SNMP_PDU_V1TRAP || answer.type == SNMP_PDU_TRAP) {
    if (listening) printTrap(answer.bindings, received.source);
    return;
  }
  // Duplicated, late and stray datagrams neither end nor steer a walk.
  if (!request_.isAnswer(received.source, received.pdu)) return;
  request_.answered();
  if (answer.errorStatus == SNMP_ERROR_NOSUCHNAME) {
    enterState(qsFinished);
    return;
  }
  if (!listening || !takeBindings(answer.bindings)) return;
  if (queryState_ == qsContacting) enterState(qsContacted);
  else if (queryState_ == qsQuerying) sendWalkRequest();
}

void TZormNL32::printTrap(HSNMP_VBL bindings, HSNMP_ENTITY source) {
  char from[41] = {};
  SnmpEntityToStr(source, sizeof from, from);
  addResultLine(QStringLiteral("** TRAP START **"));
  addResultLine(QStringLiteral("Trap received from: ") + QString::fromLatin1(from));
  smiUINT32 count = bindings ? SnmpCountVbl(bindings) : 0;
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(bindings, index, &name, &value)) continue;
    addResultLine(QString::fromStdString(bindingLine(name, value)));
    releaseBinding(name, value);
  }
  addResultLine(QStringLiteral("** TRAP END **"));
}

// Prints the answer's bindings up to the walk's bound. In a walk each one
// must follow the one before and the last is where the walk goes on;
// otherwise the first one's OID is. False when the walk has ended here.
bool TZormNL32::takeBindings(HSNMP_VBL bindings) {
  bool walking = queryState_ == qsQuerying;
  smiUINT32 count = bindings ? SnmpCountVbl(bindings) : 0;
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(bindings, index, &name, &value)) continue;
    smiINT order = 0;
    // The end of the agent's MIB comes with the OID asked for.
    if (walking && value.syntax == SNMP_SYNTAX_ENDOFMIBVIEW) {
      addResultLine(QString::fromStdString(bindingLine(name, value)));
      releaseBinding(name, value);
      enterState(qsFinished);
      return false;
    }
    if (walking || index == 1) {
      // An answer that does not lie after the OID asked for would walk in
      // a circle for ever.
      if (walking && (!SnmpOidCompare(&name, &request_.currentOid, 0, &order) || order <= 0)) {
        releaseBinding(name, value);
        addResultLine(QStringLiteral("The agent answered with an OID that does not follow the one asked for."));
        enterState(qsFinished);
        return false;
      }
      request_.setCurrentOid(name);
    }
    if (request_.walkBound.len && SnmpOidCompare(&request_.walkBound, &name, 0, &order) && order < 0) {
      enterState(qsFinished);
      releaseBinding(name, value);
      if (walking) break;  // the rest of a GetBulk answer lies beyond the bound too
      continue;
    }
    addResultLine(QString::fromStdString(bindingLine(name, value)));
    releaseBinding(name, value);
  }
  return queryState_ != qsFinished || !walking;
}

}  // namespace netlens
