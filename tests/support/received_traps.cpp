// Reading notifications for tests.
#include "received_traps.h"

#include "platform/messages.h"
#include "platform/waits.h"

#include <cstdio>

namespace {

std::string oidText(const smiOID& oid) {
  std::string text;
  for (smiUINT32 i = 0; i < oid.len; ++i) text += (i ? "." : "") + std::to_string(oid.ptr[i]);
  return text;
}

std::string entityText(HSNMP_ENTITY entity) {
  char text[256] = {};
  SnmpEntityToStr(entity, sizeof text, text);
  return text;
}

std::string contextText(HSNMP_CONTEXT context) {
  smiOCTETS community{};
  if (!SnmpContextToStr(context, &community)) return "";
  std::string text(reinterpret_cast<char*>(community.ptr), community.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &community);
  return text;
}

void releaseValue(smiVALUE& value) {
  switch (value.syntax) {
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_NSAPADDR:
      SnmpFreeDescriptor(value.syntax, &value.value.string);
      break;
    case SNMP_SYNTAX_OID:
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&value.value.oid));
      break;
    default:
      break;
  }
}

ReceivedTrap readTrap(HSNMP_ENTITY source, HSNMP_ENTITY destination, HSNMP_CONTEXT context, HSNMP_PDU pdu) {
  ReceivedTrap trap;
  trap.source = entityText(source);
  trap.destination = entityText(destination);
  trap.community = contextText(context);
  HSNMP_VBL list = nullptr;
  smiINT status = 0, index = 0;
  SnmpGetPduData(pdu, &trap.type, &trap.requestId, &status, &index, &list);
  smiUINT32 count = SnmpCountVbl(list);
  for (smiUINT32 i = 1; i <= count; ++i) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(list, i, &name, &value)) continue;
    trap.bindings.emplace_back(oidText(name), valueText(value));
    freeOid(name);
    releaseValue(value);
  }
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  SnmpFreeContext(context);
  SnmpFreeEntity(source);
  SnmpFreeEntity(destination);
  return trap;
}

}  // namespace

std::string ReceivedTrap::valueOf(const std::string& name) const {
  for (const auto& [bound, value] : bindings)
    if (bound == name) return value;
  return "";
}

std::string valueText(const smiVALUE& value) {
  std::string syntax = std::to_string(value.syntax) + ":";
  switch (value.syntax) {
    case SNMP_SYNTAX_INT: return syntax + std::to_string(value.value.sNumber);
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32: return syntax + std::to_string(value.value.uNumber);
    case SNMP_SYNTAX_CNTR64:
      return syntax + std::to_string((static_cast<uint64_t>(value.value.hNumber.hipart) << 32) |
                                     value.value.hNumber.lopart);
    case SNMP_SYNTAX_OID: return syntax + oidText(value.value.oid);
    case SNMP_SYNTAX_IPADDR: {
      std::string text;
      for (smiUINT32 i = 0; i < value.value.string.len; ++i)
        text += (i ? "." : "") + std::to_string(value.value.string.ptr[i]);
      return syntax + text;
    }
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return syntax + std::string(reinterpret_cast<const char*>(value.value.string.ptr), value.value.string.len);
    default: return syntax;
  }
}

bool pumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::optional<ReceivedTrap> waitForTrap(HSNMP_SESSION session, std::chrono::milliseconds timeout) {
  std::optional<ReceivedTrap> trap;
  bool failed = false;
  pumpMessagesUntil(
      [&] {
        HSNMP_ENTITY source = nullptr, destination = nullptr;
        HSNMP_CONTEXT context = nullptr;
        HSNMP_PDU pdu = nullptr;
        if (SnmpRecvMsg(session, &source, &destination, &context, &pdu)) {
          trap = readTrap(source, destination, context, pdu);
          return true;
        }
        failed = SnmpGetLastError(session) != SNMPAPI_NOOP;
        return failed;
      },
      timeout);
  return trap;
}

smiOID oidOf(const char* text) {
  smiOID oid{};
  SnmpStrToOid(text, &oid);
  return oid;
}

void freeOid(smiOID& oid) {
  if (oid.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  oid = {};
}
