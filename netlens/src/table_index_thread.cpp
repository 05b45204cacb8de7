// The table-index worker: its session, its walk and its message loop.
#include "table_index_thread.h"

#include "agent_request.h"
#include "binding_text.h"

#include "platform/waits.h"

#include <future>
#include <limits>

namespace netlens {
namespace {

constexpr smiUINT32 kRetries = 4;
constexpr smiTIMETICKS kTimeoutCentiseconds = 500;
// A receive error that leaves the walk running.
constexpr SNMPAPI_STATUS kIgnoredReceiveError = 8;

smiOID asOid(std::vector<smiUINT32>& parts) { return smiOID{static_cast<smiUINT32>(parts.size()), parts.data()}; }

// The session and the objects of one walk, freed with it.
class ColumnWalk {
 public:
  ColumnWalk(const TThreadRetreiveTableIndexes::Target& target, DWORD threadId) : target_(target) {
    session_ = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, threadId, TThreadRetreiveTableIndexes::kSessionMessage);
    if (!session_) return;
    remote_ = SnmpStrToEntity(session_, target.agent.c_str());
    if (remote_) SnmpSetPort(remote_, target.port);
    local_ = SnmpStrToEntity(session_, target.managerAddress.c_str());
    smiOCTETS community{static_cast<smiUINT32>(target.community.size()),
                        reinterpret_cast<smiLPBYTE>(const_cast<char*>(target.community.data()))};
    context_ = SnmpStrToContext(session_, &community);
    for (HSNMP_ENTITY entity : {remote_, local_}) {
      if (!entity) continue;
      SnmpSetRetry(entity, kRetries);
      SnmpSetTimeout(entity, kTimeoutCentiseconds);
    }
    current_ = target.column;
    bound_ = target.column;
    columnText_ = dottedOid(asOid(current_));
  }
  ~ColumnWalk() {
    if (context_) SnmpFreeContext(context_);
    for (HSNMP_ENTITY entity : {remote_, local_}) {
      if (entity) SnmpFreeEntity(entity);
    }
    // The library stays started: the rest of the program uses it.
    if (session_) SnmpClose(session_);
  }
  ColumnWalk(const ColumnWalk&) = delete;
  ColumnWalk& operator=(const ColumnWalk&) = delete;

  bool ready() const { return session_ && remote_ && context_ && !bound_.empty(); }
  void raiseBound() {
    while (!bound_.empty() && bound_.back() == std::numeric_limits<smiUINT32>::max()) bound_.pop_back();
    if (!bound_.empty()) ++bound_.back();
  }

  bool sendNext() {
    smiOID name = asOid(current_);
    HSNMP_VBL list = SnmpCreateVbl(session_, &name, nullptr);
    requestId_ = requestId_ == std::numeric_limits<smiINT32>::max() ? 1 : requestId_ + 1;
    HSNMP_PDU pdu = list ? SnmpCreatePdu(session_, SNMP_PDU_GETNEXT, requestId_, 0, 0, list) : nullptr;
    bool sent = pdu && SnmpSendMsg(session_, local_, remote_, context_, pdu);
    if (pdu) SnmpFreePdu(pdu);
    if (list) SnmpFreeVbl(list);
    return sent;
  }

  enum class Step { goOn, walked, failed };

  // Takes what the session has received.
  Step receive(const std::function<void(const std::string&)>& indexFound) {
    HSNMP_ENTITY source = nullptr, destination = nullptr;
    HSNMP_CONTEXT context = nullptr;
    HSNMP_PDU pdu = nullptr;
    if (!SnmpRecvMsg(session_, &source, &destination, &context, &pdu)) {
      SNMPAPI_STATUS error = SnmpGetLastError(session_);
      return error == SNMPAPI_TL_TIMEOUT || error == kIgnoredReceiveError ? Step::goOn : Step::failed;
    }
    Step step = takeAnswer(pdu, indexFound);
    HSNMP_VBL list = nullptr;
    if (SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &list) && list) SnmpFreeVbl(list);
    SnmpFreePdu(pdu);
    for (HSNMP_ENTITY entity : {source, destination}) {
      if (entity && entity != remote_ && entity != local_) SnmpFreeEntity(entity);
    }
    if (context && context != context_) SnmpFreeContext(context);
    return step;
  }

 private:
  Step takeAnswer(HSNMP_PDU pdu, const std::function<void(const std::string&)>& indexFound) {
    smiINT type = 0, status = 0, index = 0;
    smiINT32 id = 0;
    HSNMP_VBL list = nullptr;
    if (!SnmpGetPduData(pdu, &type, &id, &status, &index, &list)) return Step::goOn;
    if (type != SNMP_PDU_RESPONSE || id != requestId_) return Step::goOn;
    // A version 1 agent ends its MIB with noSuchName.
    if (status == SNMP_ERROR_NOSUCHNAME) return Step::walked;
    if (status != SNMP_ERROR_NOERROR) return Step::failed;
    smiUINT32 count = list ? SnmpCountVbl(list) : 0;
    bool beyond = count == 0;
    for (smiUINT32 position = 1; position <= count && !beyond; ++position) {
      smiOID name{};
      smiVALUE value{};
      if (!SnmpGetVb(list, position, &name, &value)) continue;
      smiOID bound = asOid(bound_);
      smiOID current = asOid(current_);
      smiINT afterBound = 0, afterCurrent = 0;
      SnmpOidCompare(&name, &bound, 0, &afterBound);
      SnmpOidCompare(&name, &current, 0, &afterCurrent);
      // Past the column, at the end of the MIB, or not moving on: done.
      beyond = afterBound >= 0 || afterCurrent <= 0 || value.syntax == SNMP_SYNTAX_ENDOFMIBVIEW;
      if (!beyond) {
        std::string found = indexAfterColumn(dottedOid(name), columnText_);
        if (!found.empty()) indexFound(found);
        current_.assign(name.ptr, name.ptr + name.len);
      }
      releaseBinding(name, value);
    }
    if (beyond) return Step::walked;
    return sendNext() ? Step::goOn : Step::failed;
  }

  const TThreadRetreiveTableIndexes::Target& target_;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY remote_ = nullptr;
  HSNMP_ENTITY local_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  std::vector<smiUINT32> current_;
  std::vector<smiUINT32> bound_;
  std::string columnText_;
  smiINT32 requestId_ = 0;
};

}  // namespace

std::string indexAfterColumn(const std::string& oidText, const std::string& columnText) {
  if (oidText.size() <= columnText.size() + 1) return std::string();
  if (oidText.compare(0, columnText.size() + 1, columnText + ".") != 0) return std::string();
  return oidText.substr(columnText.size() + 1);
}

TThreadRetreiveTableIndexes::TThreadRetreiveTableIndexes(const Target& target, HWND window, UINT message,
                                                         std::function<void(const std::string&)> indexFound)
    : target_(target), window_(window), message_(message), indexFound_(std::move(indexFound)) {
  // The thread's queue exists before anyone may post 1068 to it.
  std::promise<DWORD> started;
  std::future<DWORD> startedId = started.get_future();
  thread_ = std::thread([this, &started] { run([&started](DWORD id) { started.set_value(id); }); });
  threadId_ = startedId.get();
}

TThreadRetreiveTableIndexes::~TThreadRetreiveTableIndexes() {
  if (threadId_) PostThreadMessageA(threadId_, kStopMessage, 0, 0);
  thread_.join();
}

void TThreadRetreiveTableIndexes::run(std::function<void(DWORD)> started) {
  MSG message{};
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  DWORD threadId = GetCurrentThreadId();
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  bool libraryReady = SnmpStartup(&major, &minor, &level, &translate, &retransmit) == SNMPAPI_SUCCESS;
  if (libraryReady) {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    SnmpSetRetransmitMode(SNMPAPI_ON);
  }
  ColumnWalk walk(target_, threadId);
  walk.raiseBound();
  bool walking = libraryReady && walk.ready() && walk.sendNext();
  started(walking ? threadId : 0);
  if (!walking) return;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == kStopMessage) break;
    if (message.message != kSessionMessage) continue;
    ColumnWalk::Step step = walk.receive(indexFound_);
    if (step == ColumnWalk::Step::goOn) continue;
    PostMessageA(window_, message_, step == ColumnWalk::Step::walked ? kColumnWalked : kDiscoveryFailed, 0);
    break;
  }
}

}  // namespace netlens
