// The probe's requests and the handling of each answer.
#include "exchange.h"

#include "value_conversion.h"
#include "variable_format.h"

#include "platform/waits.h"

#include <cstdio>
#include <cstring>

namespace agentprobe {
namespace {

void freeOid(smiOID& oid) {
  if (oid.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
}

// The handle of an OID the exchange keeps: a fresh descriptor copy.
smiOID copyOf(const Oid& parts) {
  smiOID view{static_cast<smiUINT32>(parts.size()), const_cast<uint32_t*>(parts.data())};
  smiOID copy{};
  if (!parts.empty()) SnmpOidCopy(&view, &copy);
  return copy;
}

void releaseValue(smiVALUE& value) {
  switch (value.syntax) {
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_OID:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      SnmpFreeDescriptor(value.syntax, reinterpret_cast<smiLPOPAQUE>(&value.value.string));
      break;
    default:
      break;
  }
}

// The -m type letter's syntax. Every letter of the usage text selects its
// syntax; anything else gives NULL.
smiUINT32 syntaxOfLetter(char letter) {
  switch (letter) {
    case 'o': return SNMP_SYNTAX_OCTETS;
    case 'i': return SNMP_SYNTAX_INT;
    case 'd': return SNMP_SYNTAX_OID;
    case 'u': return SNMP_SYNTAX_UINT32;
    case 'g': return SNMP_SYNTAX_GAUGE32;
    case 't': return SNMP_SYNTAX_TIMETICKS;
    case 'c': return SNMP_SYNTAX_CNTR32;
    case 'a': return SNMP_SYNTAX_IPADDR;
    case 'p': return SNMP_SYNTAX_NSAPADDR;
    case 'b': return SNMP_SYNTAX_BITS;
    default: return SNMP_SYNTAX_NULL;
  }
}

// Posts to the program's own thread until the post goes through.
void postToSelf(UINT message) {
  while (!PostThreadMessage(GetCurrentThreadId(), message, 0, 0)) Sleep(10);
}

}  // namespace

Exchange::~Exchange() {
  freeOid(current_);
  freeOid(end_);
  consoleformat::releaseValue(setValue_);
}

bool Exchange::open(HWND window) {
  session_ = SnmpOpen(window, kNotificationMessage);
  if (!session_) return false;
  agent_ = SnmpStrToEntity(session_, settings_.agentAddress.c_str());
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

  OidChoice choice = chooseOids(settings_);
  if (choice.start) current_ = copyOf(*choice.start);
  if (choice.end) end_ = copyOf(*choice.end);
  if (current_.len) printOid("\nStart OID: ", current_);
  if (end_.len) printOid("\nStop OID:  ", end_);
  std::printf("\n");
  smiINT order = 0;
  if (current_.len && end_.len && SnmpOidCompare(&end_, &current_, 0, &order) && order < 0) {
    std::printf("\nEnd OID is less than start OID.");
    std::printf("\nNothing to do.");
    return false;
  }
  if (choice.first == FirstRequest::set) {
    setMode_ = true;
    if (!consoleformat::convertValue(settings_.setText.c_str(), syntaxOfLetter(settings_.setType), setValue_)) {
      setValue_ = smiVALUE{};
      setValue_.syntax = SNMP_SYNTAX_NULL;
    }
    sendRequest(SNMP_PDU_SET);
  } else {
    sendRequest(choice.first == FirstRequest::get ? SNMP_PDU_GET : SNMP_PDU_GETNEXT);
  }
  return true;
}

void Exchange::printOid(const char* label, const smiOID& oid) {
  std::printf("%s%s [%s]", label, consoleformat::numericOid(oid).c_str(), consoleformat::namedOid(oid).c_str());
}

void Exchange::sendRequest(smiINT type) {
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  const smiVALUE& value = type == SNMP_PDU_SET ? setValue_ : null;
  HSNMP_VBL list = SnmpCreateVbl(session_, &current_, &value);
  HSNMP_PDU pdu = SnmpCreatePdu(session_, type, ++requestCounter_, 0, 0, list);
  lastRequestType_ = type;
  if (!SnmpSendMsg(session_, source_, agent_, context_, pdu)) {
    std::printf("\nUnhandled WinSNMP error %u.", SnmpGetLastError(session_));
    postToSelf(kEndMessage);
  }
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
}

bool Exchange::endsBefore(const smiOID& name) const {
  smiINT order = 0;
  if (!end_.len) return false;
  // A comparison that fails keeps the binding from being printed too.
  return !SnmpOidCompare(&end_, &name, 0, &order) || order < 0;
}

// Prints the bindings up to the end OID. The first binding's OID becomes
// the current one.
Exchange::Progress Exchange::printBindings(HSNMP_VBL list, bool walking) {
  Progress progress = Progress::going;
  smiUINT32 count = SnmpCountVbl(list);
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(list, index, &name, &value)) continue;
    if (index == 1) {
      smiINT order = 0;
      // An agent that answers a GetNext with an OID that does not follow
      // the one asked for would keep the walk going for ever.
      if (walking && current_.len && (!SnmpOidCompare(&name, &current_, 0, &order) || order <= 0)) {
        std::printf("\nThe agent answered with an OID that does not follow the one asked for; walk stopped.");
        freeOid(name);
        releaseValue(value);
        return Progress::stopped;
      }
      freeOid(current_);
      SnmpOidCopy(&name, &current_);
    }
    if (endsBefore(name)) {
      progress = Progress::finished;
    } else {
      unsigned flags = (settings_.resolveOidNames ? consoleformat::kNamedOid : consoleformat::kNumericOid) |
                       consoleformat::kSeparator | consoleformat::kValue |
                       (settings_.printTypes ? consoleformat::kType : 0u);
      if (settings_.printLineNumbers) std::printf("\n%d: ", lineNumber_++);
      else flags |= consoleformat::kNewline;
      if (auto line = consoleformat::variableLine(name, value, flags, "\n")) std::fputs(line->c_str(), stdout);
    }
    freeOid(name);
    releaseValue(value);
  }
  return progress;
}

void Exchange::finishRun(const char* text) {
  std::printf("%s", text);
  postToSelf(kEndMessage);
}

void Exchange::answerArrived() {
  HSNMP_ENTITY source = nullptr, destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;
  if (!SnmpRecvMsg(session_, &source, &destination, &context, &pdu)) {
    SNMPAPI_STATUS error = SnmpGetLastError(session_);
    if (error == SNMPAPI_NOOP) return;
    if (error == SNMPAPI_TL_TIMEOUT) finishRun("\nRequest timed out.");
    else finishRun(("\nUnhandled WinSNMP error " + std::to_string(error) + ".").c_str());
    return;
  }
  smiINT status = 0;
  HSNMP_VBL list = nullptr;
  SnmpGetPduData(pdu, nullptr, nullptr, &status, nullptr, &list);
  bool walking = lastRequestType_ == SNMP_PDU_GETNEXT;
  Progress progress = Progress::going;
  if (status == SNMP_ERROR_NOSUCHNAME && !setMode_) {
    progress = Progress::finished;
  } else {
    if (status != 0) {
      std::printf("\nError returned by remote agent: %s (%d)", consoleformat::errorStatusName(status), status);
    }
    if (walking && SnmpCountVbl(list) == 0) {
      // The next GetNext would ask for the same OID again, for ever.
      std::printf("\nThe agent answered without a binding; walk stopped.");
      progress = Progress::stopped;
    } else {
      progress = printBindings(list, walking);
    }
  }
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  SnmpFreeEntity(source);
  SnmpFreeEntity(destination);
  SnmpFreeContext(context);

  if (progress == Progress::stopped) {
    postToSelf(kEndMessage);
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
    sendRequest(SNMP_PDU_GETNEXT);
  }
}

}  // namespace agentprobe
