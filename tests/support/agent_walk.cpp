// A GetNext walk driven by the session's notifications.
#include "agent_walk.h"

#include "wire.h"
#include "winsnmp.h"

#include "platform/messages.h"
#include "platform/waits.h"

#include <chrono>
#include <cstring>

namespace {

constexpr UINT kNotification = WM_USER + 25;
constexpr UINT kDone = WM_USER + 26;

struct Walk {
  HSNMP_SESSION session = nullptr;
  HSNMP_ENTITY agent = nullptr;
  HSNMP_CONTEXT context = nullptr;
  smiOID current{};
  WalkResult result;
  smiINT32 nextId = 1;
  bool done = false;
};

Walk* activeWalk = nullptr;

void finish(Walk& walk, const std::string& failure) {
  walk.result.failure = failure;
  walk.done = true;
  PostThreadMessage(GetCurrentThreadId(), kDone, 0, 0);
}

void sendNext(Walk& walk) {
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  HSNMP_VBL list = SnmpCreateVbl(walk.session, &walk.current, &null);
  HSNMP_PDU pdu = SnmpCreatePdu(walk.session, SNMP_PDU_GETNEXT, walk.nextId++, 0, 0, list);
  if (SnmpSendMsg(walk.session, nullptr, walk.agent, walk.context, pdu) != SNMPAPI_SUCCESS) {
    finish(walk, "send failed: " + std::to_string(SnmpGetLastError(walk.session)));
  }
  SnmpFreePdu(pdu);
  SnmpFreeVbl(list);
}

// One notification: take the answer, keep its binding, ask for the next.
void answerArrived(Walk& walk) {
  HSNMP_ENTITY source, destination;
  HSNMP_CONTEXT context;
  HSNMP_PDU pdu;
  if (!SnmpRecvMsg(walk.session, &source, &destination, &context, &pdu)) {
    SNMPAPI_STATUS error = SnmpGetLastError(walk.session);
    if (error != SNMPAPI_NOOP) {
      finish(walk, "receive failed with error " + std::to_string(error) + " after " +
                       std::to_string(walk.result.bindings.size()) + " bindings, at " +
                       simagent::oidToText(simagent::Oid(walk.current.ptr, walk.current.ptr + walk.current.len)));
    }
    return;
  }
  smiINT status = 0;
  HSNMP_VBL list = nullptr;
  SnmpGetPduData(pdu, nullptr, nullptr, &status, nullptr, &list);
  smiOID name{};
  smiVALUE value{};
  if (status == SNMP_ERROR_NOSUCHNAME) {
    finish(walk, "");
  } else if (status != 0 || SnmpGetVb(list, 1, &name, &value) != SNMPAPI_SUCCESS) {
    finish(walk, "agent error " + std::to_string(status));
  } else {
    walk.result.bindings.push_back({simagent::Oid(name.ptr, name.ptr + name.len), simagent::valueFromLibrary(value)});
    simagent::releaseLibraryValue(value);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&walk.current));
    walk.current = name;
    sendNext(walk);
  }
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  SnmpFreeContext(context);
  SnmpFreeEntity(source);
  SnmpFreeEntity(destination);
}

LRESULT CALLBACK walkWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotification && activeWalk) {
    answerArrived(*activeWalk);
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

HWND makeWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = walkWindow;
    windowClass.lpszClassName = "AgentWalkWindow";
    registered = RegisterClass(&windowClass) != 0;
  }
  return CreateWindow("AgentWalkWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

WalkResult walkAgent(uint16_t port, const char* community, Notification notification) {
  Walk walk;
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  HWND window = notification == Notification::windowMessage ? makeWindow() : nullptr;
  walk.session = window ? SnmpOpen(window, kNotification)
                        : SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kNotification);
  walk.agent = SnmpStrToEntity(walk.session, "127.0.0.1");
  SnmpSetPort(walk.agent, port);
  SnmpSetTimeout(walk.agent, 200);
  smiOCTETS octets{static_cast<smiUINT32>(std::strlen(community)), reinterpret_cast<smiLPBYTE>(const_cast<char*>(community))};
  walk.context = SnmpStrToContext(walk.session, &octets);
  SnmpStrToOid("0.0", &walk.current);
  activeWalk = &walk;
  sendNext(walk);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!walk.done && std::chrono::steady_clock::now() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 500, QS_ALLPOSTMESSAGE);
    while (!walk.done && PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.hwnd) DispatchMessage(&message);
      else if (message.message == kNotification) answerArrived(walk);
    }
  }
  if (!walk.done) walk.result.failure = "the walk did not finish within a minute";
  activeWalk = nullptr;
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&walk.current));
  SnmpClose(walk.session);
  if (window) DestroyWindow(window);
  return walk.result;
}
