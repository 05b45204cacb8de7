// Sessions, requests and received messages of the browser's windows.
#include "agent_request.h"

#include "winsnmp_syntax.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <limits>
#include <random>

namespace netlens {
namespace {

constexpr UINT kDefaultAgentPort = 161;
// Beyond the library's last time-out, before the window gives up itself.
constexpr int kDeadlineGraceMilliseconds = 1000;

smiINT32 randomRequestCounter() {
  std::random_device seed;
  std::mt19937 generator(seed());
  return std::uniform_int_distribution<smiINT32>(0, std::numeric_limits<smiINT32>::max() - 1)(generator);
}

// The IPv4 address an agent text names: dotted form, or a host name the
// resolver knows.
std::optional<in_addr> ipv4Of(const std::string& text) {
  in_addr address{};
  if (inet_pton(AF_INET, text.c_str(), &address) == 1) return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
  address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return address;
}

void freeEntity(HSNMP_ENTITY& entity) {
  if (entity) SnmpFreeEntity(entity);
  entity = nullptr;
}

void replaceOid(smiOID& target, const smiOID& source) {
  releaseOid(target);
  if (source.len) SnmpOidCopy(const_cast<smiLPOID>(&source), &target);
}

}  // namespace

void releaseOid(smiOID& oid) {
  if (oid.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  oid = smiOID{};
}

void releaseBinding(smiOID& name, smiVALUE& value) {
  releaseOid(name);
  if (OvSnmpSyntaxHasDescriptor(value.syntax)) {
    SnmpFreeDescriptor(value.syntax, reinterpret_cast<smiLPOPAQUE>(&value.value));
  }
  value = smiVALUE{};
}

TAgentRequest::TAgentRequest(HWND window, UINT message)
    : notifyWindow(window), notifyMessage(message), requestCounter(randomRequestCounter()) {
  deadline_.setSingleShot(true);
  QObject::connect(&deadline_, &QTimer::timeout, [this] {
    if (!inFlight_) return;
    inFlight_ = false;
    if (deadlineHandler_) deadlineHandler_();
  });
}

void TAgentRequest::forgetRequest() {
  inFlight_ = false;
  deadline_.stop();
}

TAgentRequest::~TAgentRequest() {
  closeSession();
  releaseOid(walkBound);
  releaseOid(currentOid);
}

bool TAgentRequest::openSession(const SessionPolicy& policy) {
  if (!session) session = SnmpOpen(notifyWindow, notifyMessage);
  if (!session) return false;
  port = policy_.port = policy.port;
  policy_.snmpV2c = policy.snmpV2c;
  createRemoteEntity();
  agentIPv4_ = ipv4Of(agentAddress);
  localEntity = SnmpStrToEntity(session, managerAddress.c_str());
  smiOCTETS octets{static_cast<smiUINT32>(community.size()),
                   reinterpret_cast<smiLPBYTE>(const_cast<char*>(community.data()))};
  context = SnmpStrToContext(session, &octets);
  applyPolicy(policy.retransmits, policy.timeoutSeconds);
  open = true;
  return true;
}

void TAgentRequest::applyPolicy(smiUINT32 retransmits, smiUINT32 timeoutSeconds) {
  policy_.retransmits = retransmits;
  policy_.timeoutSeconds = timeoutSeconds;
  for (HSNMP_ENTITY entity : {remoteEntity, localEntity}) {
    if (!entity) continue;
    SnmpSetRetry(entity, retransmits);
    SnmpSetTimeout(entity, timeoutSeconds * 100);
  }
  SnmpSetRetransmitMode(SNMPAPI_ON);
}

void TAgentRequest::closeSession() {
  if (context) SnmpFreeContext(context);
  context = nullptr;
  freeEntity(localEntity);
  freeEntity(remoteEntity);
  if (session) SnmpClose(session);
  session = nullptr;
  open = false;
  forgetRequest();
}

void TAgentRequest::renewRemoteEntity(UINT newPort) {
  forgetRequest();
  if (!session) return;
  freeEntity(remoteEntity);
  port = newPort;
  createRemoteEntity();
  SnmpSetRetry(remoteEntity, policy_.retransmits);
  SnmpSetTimeout(remoteEntity, policy_.timeoutSeconds * 100);
}

// The translate mode when the entity is made chooses its message format.
void TAgentRequest::createRemoteEntity() {
  smiUINT32 mode = SNMPAPI_UNTRANSLATED_V1;
  SnmpGetTranslateMode(&mode);
  if (policy_.snmpV2c) SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V2);
  remoteEntity = SnmpStrToEntity(session, agentAddress.c_str());
  SnmpSetTranslateMode(mode);
  SnmpSetPort(remoteEntity, port);
}

bool TAgentRequest::send(smiINT type, const smiOID& name, const smiVALUE* value) {
  HSNMP_VBL list = SnmpCreateVbl(session, &name, value);
  requestCounter = requestCounter == std::numeric_limits<smiINT32>::max() ? 1 : requestCounter + 1;
  smiINT repetitions = type == SNMP_PDU_GETBULK ? kWalkRepetitions : 0;
  HSNMP_PDU pdu = SnmpCreatePdu(session, type, requestCounter, 0, repetitions, list);
  bool sent = list && pdu && SnmpSendMsg(session, localEntity, remoteEntity, context, pdu);
  if (pdu) SnmpFreePdu(pdu);
  if (list) SnmpFreeVbl(list);
  inFlight_ = sent;
  if (sent) {
    long long wait = (static_cast<long long>(policy_.retransmits) + 1) * policy_.timeoutSeconds * 1000 +
                     kDeadlineGraceMilliseconds;
    deadline_.start(static_cast<int>(std::min<long long>(wait, std::numeric_limits<int>::max())));
  }
  return sent;
}

bool TAgentRequest::isAnswer(HSNMP_ENTITY source, HSNMP_PDU pdu) const {
  smiINT type = 0;
  smiINT32 id = 0;
  if (!inFlight_ || !SnmpGetPduData(pdu, &type, &id, nullptr, nullptr, nullptr)) return false;
  if (type != SNMP_PDU_RESPONSE || id != requestCounter) return false;
  char text[64] = {};
  in_addr from{};
  UINT fromPort = 0;
  if (!agentIPv4_ || !SnmpEntityToStr(source, sizeof text, text) || inet_pton(AF_INET, text, &from) != 1 ||
      !OvSnmpGetPort(source, &fromPort)) {
    return false;
  }
  return from.s_addr == agentIPv4_->s_addr && fromPort == (port ? port : kDefaultAgentPort);
}

bool TAgentRequest::owns(HANDLE handle) const {
  return handle && (handle == remoteEntity || handle == localEntity || handle == context);
}

void TAgentRequest::setCurrentOid(const smiOID& oid) { replaceOid(currentOid, oid); }
void TAgentRequest::setWalkBound(const smiOID& oid) { replaceOid(walkBound, oid); }
void TAgentRequest::clearWalkBound() { releaseOid(walkBound); }

ReceivedMessage::ReceivedMessage(const TAgentRequest& request) : request_(request) {
  if (!SnmpRecvMsg(request.session, &source, &destination, &context, &pdu)) {
    error_ = SnmpGetLastError(request.session);
    if (!error_) error_ = SNMPAPI_OTHER_ERROR;
  }
}

ReceivedMessage::~ReceivedMessage() {
  if (pdu && !timedOut()) {
    HSNMP_VBL list = nullptr;
    if (SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &list) && list) SnmpFreeVbl(list);
    SnmpFreePdu(pdu);
  }
  for (HSNMP_ENTITY entity : {source, destination}) {
    if (entity && !request_.owns(entity)) SnmpFreeEntity(entity);
  }
  if (context && !request_.owns(context)) SnmpFreeContext(context);
}

PduData::PduData(HSNMP_PDU pdu) { SnmpGetPduData(pdu, &type, &requestId, &errorStatus, &errorIndex, &bindings); }

}  // namespace netlens
