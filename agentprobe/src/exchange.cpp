// The probe's requests and the handling of each answer.
#include "exchange.h"

#include "variable_format.h"
#include "winsnmp_syntax.h"

#include "platform/waits.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace agentprobe {
namespace {

// How long after the library's last retransmission the probe still waits
// for its time-out before giving up by itself.
constexpr UINT kDeadlineGraceMilliseconds = 1000;

void freeOid(smiOID& oid) {
  if (oid.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  oid = {};
}

// The handle of an OID the exchange keeps: a fresh descriptor copy.
smiOID copyOf(const Oid& parts) {
  smiOID view{static_cast<smiUINT32>(parts.size()), const_cast<uint32_t*>(parts.data())};
  smiOID copy{};
  if (!parts.empty()) SnmpOidCopy(&view, &copy);
  return copy;
}

// One binding of a list the library handed out; its descriptors go with it.
struct ReceivedBinding {
  ReceivedBinding(HSNMP_VBL list, smiUINT32 index) : read(SnmpGetVb(list, index, &name, &value) == SNMPAPI_SUCCESS) {}
  ~ReceivedBinding() {
    if (!read) return;
    freeOid(name);
    if (OvSnmpSyntaxHasDescriptor(value.syntax)) {
      SnmpFreeDescriptor(value.syntax, reinterpret_cast<smiLPOPAQUE>(&value.value.string));
    }
  }
  ReceivedBinding(const ReceivedBinding&) = delete;
  ReceivedBinding& operator=(const ReceivedBinding&) = delete;

  smiOID name{};
  smiVALUE value{};
  bool read;
};

// Posts to the program's own thread until the post goes through.
void postToSelf(UINT message) {
  while (!PostThreadMessage(GetCurrentThreadId(), message, 0, 0)) Sleep(10);
}

// Counter64 as a decimal number and the exceptions in snmpwalk's words;
// nothing for the values SNMPv1 prints alike.
std::optional<std::string> snmpV2cValueText(const smiVALUE& value) {
  switch (value.syntax) {
    case SNMP_SYNTAX_CNTR64:
      return std::to_string(uint64_t{value.value.hNumber.hipart} << 32 | value.value.hNumber.lopart);
    case SNMP_SYNTAX_NOSUCHOBJECT: return "No Such Object available on this agent at this OID";
    case SNMP_SYNTAX_NOSUCHINSTANCE: return "No Such Instance currently exists at this OID";
    case SNMP_SYNTAX_ENDOFMIBVIEW: return "No more variables left in this MIB View (It is past the end of the MIB tree)";
    default: return std::nullopt;
  }
}

// "1 answer was" or "3 answers were", on a line of its own.
std::string answersWere(int count) {
  return "\n" + std::to_string(count) + (count == 1 ? " answer was " : " answers were ");
}

}  // namespace

// The handles of one message SnmpRecvMsg handed out, and what its PDU
// says; all released together.
class ReceivedMessage {
 public:
  ReceivedMessage(HSNMP_ENTITY source, HSNMP_ENTITY destination, HSNMP_CONTEXT context, HSNMP_PDU pdu)
      : source_(source), destination_(destination), context_(context), pdu_(pdu) {
    SnmpGetPduData(pdu_, &type, &requestId, &errorStatus, &errorIndex, &list);
    char text[64] = {};
    if (SnmpEntityToStr(source_, sizeof text, text) == SNMPAPI_SUCCESS) address = text;
    OvSnmpGetPort(source_, &port);
  }
  ~ReceivedMessage() {
    SnmpFreeVbl(list);
    SnmpFreePdu(pdu_);
    SnmpFreeEntity(source_);
    SnmpFreeEntity(destination_);
    SnmpFreeContext(context_);
  }
  ReceivedMessage(const ReceivedMessage&) = delete;
  ReceivedMessage& operator=(const ReceivedMessage&) = delete;

  smiINT type = 0;
  smiINT32 requestId = 0;
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  HSNMP_VBL list = nullptr;
  std::string address;  // the sender
  UINT port = 0;

 private:
  HSNMP_ENTITY source_;
  HSNMP_ENTITY destination_;
  HSNMP_CONTEXT context_;
  HSNMP_PDU pdu_;
};

Exchange::~Exchange() {
  freeOid(current_);
  freeOid(end_);
}

bool Exchange::open(HWND window) {
  window_ = window;
  session_ = SnmpOpen(window, kNotificationMessage);
  if (!session_) return false;
  // The translate mode at creation makes the agent's entity speak SNMPv2c.
  smiUINT32 mode = SNMPAPI_UNTRANSLATED_V1;
  SnmpGetTranslateMode(&mode);
  if (settings_.snmpV2c) SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V2);
  agent_ = SnmpStrToEntity(session_, settings_.agentAddress.c_str());
  SnmpSetTranslateMode(mode);
  source_ = SnmpStrToEntity(session_, "0.0.0.0");
  smiOCTETS community{static_cast<smiUINT32>(settings_.community.size()),
                      reinterpret_cast<smiLPBYTE>(const_cast<char*>(settings_.community.data()))};
  context_ = SnmpStrToContext(session_, &community);
  for (HSNMP_ENTITY entity : {agent_, source_}) {
    SnmpSetRetry(entity, static_cast<smiUINT32>(settings_.retransmits));
    SnmpSetTimeout(entity, static_cast<smiTIMETICKS>(settings_.timeoutMilliseconds / 10));
  }
  SnmpSetPort(agent_, settings_.agentPort);
  SnmpSetRetransmitMode(SNMPAPI_ON);

  if (choice_.start) current_ = copyOf(*choice_.start);
  if (choice_.end) end_ = copyOf(*choice_.end);
  if (current_.len) printOid("\nStart OID: ", current_);
  if (end_.len) printOid("\nStop OID:  ", end_);
  std::printf("\n");
  smiINT order = 0;
  if (current_.len && end_.len && SnmpOidCompare(&end_, &current_, 0, &order) && order < 0) {
    std::printf("\nEnd OID is less than start OID.");
    std::printf("\nNothing to do.");
    return false;
  }
  switch (choice_.first) {
    case FirstRequest::set:
      setMode_ = true;
      sendRequest(SNMP_PDU_SET);
      break;
    case FirstRequest::get: sendRequest(SNMP_PDU_GET); break;
    case FirstRequest::getNext: sendRequest(walkRequest()); break;
  }
  return true;
}

smiINT Exchange::walkRequest() const { return settings_.bulkRepetitions ? SNMP_PDU_GETBULK : SNMP_PDU_GETNEXT; }

void Exchange::printOid(const char* label, const smiOID& oid) {
  std::printf("%s%s [%s]", label, consoleformat::numericOid(oid).c_str(), consoleformat::namedOid(oid).c_str());
}

std::string Exchange::oidText(const smiOID& oid) const {
  return settings_.resolveOidNames ? consoleformat::namedOid(oid) : consoleformat::numericOid(oid);
}

// Sends the next request for the current OID and bounds the wait for its
// answer: the library's time-out normally comes first, but an answer that
// the probe ignores may have ended the library's request already.
void Exchange::sendRequest(smiINT type) {
  inFlightId_ = ++requestCounter_;
  inFlightType_ = type;
  resendsLeft_ = settings_.retransmits;
  if (!transmit()) return;
  UINT timeout = static_cast<UINT>(settings_.timeoutMilliseconds / 10 * 10);
  SetTimer(window_, kAnswerDeadlineTimer,
           timeout * static_cast<UINT>(settings_.retransmits + 1) + kDeadlineGraceMilliseconds, nullptr);
}

// Sends the request in flight (again); false, and the run ended, when the
// library refuses it.
bool Exchange::transmit() {
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  const smiVALUE& value = inFlightType_ == SNMP_PDU_SET ? setValue_.get() : null;
  HSNMP_VBL list = SnmpCreateVbl(session_, &current_, &value);
  // A GetBulk asks for no non-repeaters and the repetitions of -g.
  smiINT repetitions = inFlightType_ == SNMP_PDU_GETBULK ? settings_.bulkRepetitions : 0;
  HSNMP_PDU pdu = SnmpCreatePdu(session_, inFlightType_, inFlightId_, 0, repetitions, list);
  bool sent = SnmpSendMsg(session_, source_, agent_, context_, pdu) == SNMPAPI_SUCCESS;
  if (!sent) finishRun("\nUnhandled WinSNMP error " + std::to_string(SnmpGetLastError(session_)) + ".");
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  return sent;
}

// Why a message is not the answer to the request in flight, or null when
// it is. A late answer to an earlier request, a duplicate, or an answer of
// an earlier run that listened on the same local port must not be taken
// for this one.
const char* Exchange::strayReason(const ReceivedMessage& message) const {
  if (message.address != settings_.agentAddress || message.port != settings_.agentPort) {
    return "it came from another address or port than the agent's";
  }
  if (message.type != SNMP_PDU_RESPONSE) return "it is not a response";
  if (message.requestId != inFlightId_) return "it answers another request";
  return nullptr;
}

void Exchange::ignoreStray(const ReceivedMessage& message, const char* reason) {
  ++strayAnswers_;
  if (settings_.printParameters) {
    std::printf("\nIgnored a message from %s:%u (PDU type 0x%02X, request id %d): %s.", message.address.c_str(),
                message.port, static_cast<unsigned>(message.type) & 0xFF, message.requestId, reason);
  }
  // A message with the request's id ended the library's request and its
  // retransmissions: send it again, within the retransmits allowed.
  if (message.requestId == inFlightId_ && resendsLeft_ > 0) {
    --resendsLeft_;
    transmit();
  }
}

bool Exchange::endsBefore(const smiOID& name) const {
  smiINT order = 0;
  if (!end_.len) return false;
  // A comparison that fails keeps the binding from being printed too.
  return !SnmpOidCompare(&end_, &name, 0, &order) || order < 0;
}

// Prints the bindings up to the end OID. In a walk every binding must
// follow the one before it and the last becomes the current OID, and
// endOfMibView ends it; otherwise the first binding's OID becomes the
// current one.
Exchange::Progress Exchange::printBindings(HSNMP_VBL list, bool walking) {
  Progress progress = Progress::going;
  smiUINT32 count = SnmpCountVbl(list);
  for (smiUINT32 index = 1; index <= count; ++index) {
    ReceivedBinding binding(list, index);
    if (!binding.read) continue;
    if (walking && binding.value.syntax == SNMP_SYNTAX_ENDOFMIBVIEW) return Progress::finished;
    if (walking || index == 1) {
      smiINT order = 0;
      // An agent that answers with an OID that does not follow the one
      // asked for would keep the walk going for ever.
      if (walking && current_.len && (!SnmpOidCompare(&binding.name, &current_, 0, &order) || order <= 0)) {
        std::printf("\nThe agent answered with an OID that does not follow the one asked for; walk stopped.");
        return Progress::stopped;
      }
      freeOid(current_);
      SnmpOidCopy(&binding.name, &current_);
    }
    if (endsBefore(binding.name)) {
      progress = Progress::finished;
      if (walking) break;  // the rest of a GetBulk answer lies beyond it too
      continue;
    }
    printBinding(binding.name, binding.value);
  }
  return progress;
}

void Exchange::printBinding(const smiOID& name, const smiVALUE& value) {
  unsigned flags = (settings_.resolveOidNames ? consoleformat::kNamedOid : consoleformat::kNumericOid) |
                   consoleformat::kSeparator | (settings_.printTypes ? consoleformat::kType : 0u);
  if (settings_.printLineNumbers) std::printf("\n%d: ", lineNumber_++);
  else flags |= consoleformat::kNewline;
  // SNMPv2c values print as snmpwalk prints them.
  std::optional<std::string> v2cText = settings_.snmpV2c ? snmpV2cValueText(value) : std::nullopt;
  if (!v2cText) flags |= consoleformat::kValue;
  if (auto line = consoleformat::variableLine(name, value, flags, "\n")) {
    std::fputs(line->c_str(), stdout);
    if (v2cText) std::fputs(v2cText->c_str(), stdout);
  }
}

// The agent's error and the variable its error index names. The bindings
// of an error response are the request's, not the agent's values, so they
// are not printed as such.
void Exchange::reportAgentError(const ReceivedMessage& message) {
  std::printf("\nError returned by remote agent: %s (%d)", consoleformat::errorStatusName(message.errorStatus),
              message.errorStatus);
  smiINT index = message.errorIndex;
  if (index < 1 || static_cast<smiUINT32>(index) > SnmpCountVbl(message.list)) return;
  ReceivedBinding binding(message.list, static_cast<smiUINT32>(index));
  if (binding.read) std::printf("\nVariable in error (index %d): %s", index, oidText(binding.name).c_str());
}

void Exchange::finishRun(const std::string& text) {
  std::printf("%s", text.c_str());
  ended_ = true;
  KillTimer(window_, kAnswerDeadlineTimer);
  postToSelf(kEndMessage);
}

void Exchange::timedOut() {
  std::string text = "\nRequest timed out.";
  if (unreadableAnswers_) text += answersWere(unreadableAnswers_) + "received but could not be read.";
  if (strayAnswers_) {
    text += answersWere(strayAnswers_) + "ignored because " + (strayAnswers_ == 1 ? "it" : "they") +
            " did not answer the request in flight (-p shows why).";
  }
  finishRun(text);
}

void Exchange::deadlinePassed() {
  if (!ended_) timedOut();
}

void Exchange::answerArrived() {
  if (ended_) return;
  HSNMP_ENTITY source = nullptr, destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;
  if (!SnmpRecvMsg(session_, &source, &destination, &context, &pdu)) {
    // A time-out hands back the probe's own handles, which stay its own.
    SNMPAPI_STATUS error = SnmpGetLastError(session_);
    if (error == SNMPAPI_TL_TIMEOUT) {
      timedOut();
    } else if (error == SNMPAPI_NOOP) {
      // Each datagram is announced once; nothing left to take means the
      // library dropped one it could not decode.
      ++unreadableAnswers_;
      if (settings_.printParameters) std::printf("\nDropped a datagram that is not a readable SNMPv1 message.");
    } else {
      finishRun("\nUnhandled WinSNMP error " + std::to_string(error) + ".");
    }
    return;
  }
  ReceivedMessage message(source, destination, context, pdu);
  if (const char* reason = strayReason(message)) {
    ignoreStray(message, reason);
    return;
  }
  // The deadline stays armed: every way on from here either sends the next
  // request, whose SetTimer replaces it, or ends the run, which kills it.
  handleAnswer(message);
}

void Exchange::handleAnswer(const ReceivedMessage& message) {
  bool walking = inFlightType_ == SNMP_PDU_GETNEXT || inFlightType_ == SNMP_PDU_GETBULK;
  Progress progress = Progress::going;
  if (message.errorStatus == SNMP_ERROR_NOSUCHNAME && !setMode_) {
    progress = Progress::finished;  // an SNMPv1 agent's end of the MIB
  } else if (message.errorStatus != 0) {
    reportAgentError(message);
    agentReportedError_ = true;
    finishRun("");
    return;
  } else if (walking && SnmpCountVbl(message.list) == 0) {
    // The next GetNext would ask for the same OID again, for ever.
    std::printf("\nThe agent answered without a binding; walk stopped.");
    progress = Progress::stopped;
  } else {
    progress = printBindings(message.list, walking);
  }

  if (progress == Progress::stopped) {
    finishRun("");
  } else if (settings_.pingUntilInterrupted) {
    std::printf(" (%s)", settings_.agentAddress.c_str());
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(settings_.pingIntervalMilliseconds));
    sendRequest(SNMP_PDU_GET);
  } else if (setMode_) {
    std::printf("\nSet confirmation...");
    setMode_ = false;
    sendRequest(SNMP_PDU_GET);
  } else if (progress == Progress::finished) {
    finishRun("\n\nFinished.");
  } else {
    sendRequest(walkRequest());
  }
}

}  // namespace agentprobe
