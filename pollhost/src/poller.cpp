// Polling the agents and taking their answers.
#include "poller.h"

#include "platform/sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

namespace pollhost {
namespace {

// The system group in the order it is asked for; a GET-NEXT on each
// returns its .0 instance.
constexpr const char* kSystemGroup[] = {"1.3.6.1.2.1.1.3", "1.3.6.1.2.1.1.5", "1.3.6.1.2.1.1.4",
                                        "1.3.6.1.2.1.1.6", "1.3.6.1.2.1.1.1", "1.3.6.1.2.1.1.7"};

void releaseBinding(smiOID& name, smiVALUE& value) {
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
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

std::string octetsOf(const smiVALUE& value) {
  const smiOCTETS& octets = value.value.string;
  return octets.ptr ? std::string(reinterpret_cast<const char*>(octets.ptr), octets.len) : std::string();
}

bool fromAgent(const AnswerSource& source, const Descriptor& descriptor) {
  return source.address == descriptor.host && source.port == descriptor.port;
}

}  // namespace

ManagerIdentity thisComputer() {
  ManagerIdentity identity;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return identity;
  identity.hostName = host;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) == 0 && found) {
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, address, sizeof address);
    identity.address = address;
    freeaddrinfo(found);
  }
  return identity;
}

Poller::Poller(const Timing& timing)
    : timing_(timing), table_(std::make_unique<DescriptorTable>(nullptr, timing.pollingInterval)) {
  InitializeCriticalSection(&lock_);
}

Poller::~Poller() {
  close();
  DeleteCriticalSection(&lock_);
}

bool Poller::open(DWORD threadId) {
  WSADATA sockets{};
  if (WSAStartup(MAKEWORD(1, 1), &sockets) == 0 && sockets.wVersion != MAKEWORD(1, 1)) WSACleanup();
  manager_ = thisComputer();
  smiUINT32 major, minor, level, translate, retransmit;
  if (!SnmpStartup(&major, &minor, &level, &translate, &retransmit)) return false;
  started_ = true;
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  session_ = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, threadId, kNotificationMessage);
  if (!session_) return false;
  // Without an address of its own the manager still polls, from any.
  managerEntity_ = SnmpStrToEntity(session_, manager_.address.empty() ? "0.0.0.0" : manager_.address.c_str());
  request_ = SnmpCreateVbl(session_, nullptr, nullptr);
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  for (const char* text : kSystemGroup) {
    smiOID oid{};
    if (!SnmpStrToOid(text, &oid)) continue;
    SnmpSetVb(request_, 0, &oid, &null);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  }
  platform::CriticalSectionGuard guard(lock_);
  table_ = std::make_unique<DescriptorTable>(session_, timing_.pollingInterval);
  return true;
}

void Poller::registerForTraps() {
  if (session_) SnmpRegister(session_, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON);
}

void Poller::close() {
  {
    platform::CriticalSectionGuard guard(lock_);
    table_ = std::make_unique<DescriptorTable>(nullptr, timing_.pollingInterval);
  }
  if (request_) SnmpFreeVbl(request_);
  if (managerEntity_) SnmpFreeEntity(managerEntity_);
  if (session_) SnmpClose(session_);
  request_ = nullptr;
  managerEntity_ = nullptr;
  session_ = nullptr;
  if (started_) {
    SnmpCleanup();
    WSACleanup();
  }
  started_ = false;
}

void Poller::step() {
  platform::CriticalSectionGuard guard(lock_);
  for (int index = 0; index < kDescriptorCount; ++index) {
    Descriptor* descriptor = table_->inUse(index);
    if (!descriptor) continue;
    int64_t before = descriptor->countdown;
    descriptor->countdown -= timing_.pollStep;
    if (before <= static_cast<int64_t>(timing_.pollStep)) {
      descriptor->countdown = descriptor->pollingInterval;
      poll(*descriptor);
    }
  }
}

void Poller::poll(Descriptor& descriptor) {
  if (!session_ || !managerEntity_ || !request_ || !descriptor.entity || !descriptor.context) return;
  smiINT32 requestId = descriptor.nextRequestId;
  descriptor.nextRequestId = requestId >= descriptor.maxRequestId ? descriptor.minRequestId : requestId + 1;
  HSNMP_PDU pdu = SnmpCreatePdu(session_, SNMP_PDU_GETNEXT, requestId, 0, 0, request_);
  if (!pdu) return;
  descriptor.awaitedRequestId = requestId;
  SnmpSendMsg(session_, managerEntity_, descriptor.entity, descriptor.context, pdu);
  SnmpFreePdu(pdu);
}

void Poller::notificationArrived() {
  HSNMP_ENTITY source = nullptr, destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;
  // A time-out hands back the request's own entities, which belong to
  // their descriptor: nothing is released then.
  if (!SnmpRecvMsg(session_, &source, &destination, &context, &pdu)) {
    SnmpGetLastError(session_);
    return;
  }
  smiINT type = 0, status = 0, index = 0;
  smiINT32 requestId = 0;
  HSNMP_VBL list = nullptr;
  SnmpGetPduData(pdu, &type, &requestId, &status, &index, &list);
  char address[64] = "";
  UINT port = 0;
  SnmpEntityToStr(source, sizeof address, address);
  OvSnmpGetPort(source, &port);
  {
    platform::CriticalSectionGuard guard(lock_);
    takeAnswer(type, requestId, status, {address, static_cast<uint16_t>(port)}, list);
  }
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  SnmpFreeEntity(source);
  SnmpFreeEntity(destination);
  SnmpFreeContext(context);
}

bool Poller::takeAnswer(smiINT type, smiINT32 requestId, smiINT errorStatus, const AnswerSource& source,
                        HSNMP_VBL list) {
  if (type != SNMP_PDU_RESPONSE || errorStatus == SNMP_ERROR_NOSUCHNAME) return false;
  Descriptor* descriptor = table_->ownerOf(requestId);
  if (!descriptor || descriptor->awaitedRequestId != requestId || !fromAgent(source, *descriptor)) return false;
  smiUINT32 count = list ? SnmpCountVbl(list) : 0;
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(list, index, &name, &value)) continue;
    storeBinding(*descriptor, name, value);
    releaseBinding(name, value);
  }
  time_t now = std::time(nullptr);
  if (!descriptor->firstContacted) descriptor->firstContacted = now;
  descriptor->lastContacted = now;
  ++descriptor->successfulContacts;
  descriptor->awaitedRequestId.reset();
  return true;
}

void Poller::storeBinding(Descriptor& descriptor, const smiOID& name, const smiVALUE& value) {
  char text[512] = "";
  if (!SnmpOidToStr(&name, sizeof text, text)) return;
  std::string oid = text;
  if (oid == "1.3.6.1.2.1.1.3.0" && value.syntax == SNMP_SYNTAX_TIMETICKS) descriptor.sysUpTime = value.value.uNumber;
  if (oid == "1.3.6.1.2.1.1.7.0" && value.syntax == SNMP_SYNTAX_INT) descriptor.sysServices = value.value.sNumber;
  if (value.syntax != SNMP_SYNTAX_OCTETS) return;
  if (oid == "1.3.6.1.2.1.1.5.0") descriptor.sysName = octetsOf(value);
  if (oid == "1.3.6.1.2.1.1.1.0") descriptor.sysDescr = octetsOf(value);
  if (oid == "1.3.6.1.2.1.1.4.0") descriptor.sysContact = octetsOf(value);
  if (oid == "1.3.6.1.2.1.1.6.0") descriptor.sysLocation = octetsOf(value);
}

}  // namespace pollhost
