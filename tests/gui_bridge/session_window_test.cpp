// The manager library's notification reaches a bridged window: the answer
// to a request is fetched inside the Qt event loop.
#include "platform/gui_bridge.h"

#include "gui_application.h"
#include "simulated_agent.h"
#include "winsnmp.h"

#include <gtest/gtest.h>

#include <QThread>

#include <cstring>
#include <optional>

namespace {

constexpr UINT kSessionMessage = WM_USER + 25;

TEST(BridgedSessionWindow, TheAnswerToARequestIsFetchedInTheEventLoop) {
  guiApplication();
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);

  HSNMP_SESSION session = nullptr;
  std::optional<smiINT> answeredType;
  bool onGuiThread = false;
  platform::gui::BridgedWindow window([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message != kSessionMessage) return 0;
    HSNMP_ENTITY source, destination;
    HSNMP_CONTEXT context;
    HSNMP_PDU pdu;
    if (SnmpRecvMsg(session, &source, &destination, &context, &pdu) != SNMPAPI_SUCCESS) return 0;
    smiINT type = 0;
    SnmpGetPduData(pdu, &type, nullptr, nullptr, nullptr, nullptr);
    answeredType = type;
    onGuiThread = QThread::currentThread() == qApp->thread();
    return 0;
  });
  session = SnmpOpen(window.handle(), kSessionMessage);
  ASSERT_NE(session, nullptr);

  HSNMP_ENTITY agentEntity = SnmpStrToEntity(session, "127.0.0.1");
  SnmpSetPort(agentEntity, agent.port());
  char communityText[] = "public";
  smiOCTETS community{static_cast<smiUINT32>(std::strlen(communityText)), reinterpret_cast<smiLPBYTE>(communityText)};
  smiOID sysUpTime{};
  SnmpStrToOid("1.3.6.1.2.1.1.3", &sysUpTime);
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  HSNMP_VBL bindings = SnmpCreateVbl(session, &sysUpTime, &null);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&sysUpTime));
  HSNMP_PDU request = SnmpCreatePdu(session, SNMP_PDU_GETNEXT, 1, 0, 0, bindings);
  ASSERT_EQ(SnmpSendMsg(session, nullptr, agentEntity, SnmpStrToContext(session, &community), request),
            SNMPAPI_SUCCESS);

  EXPECT_TRUE(processEventsUntil([&] { return answeredType.has_value(); }));
  EXPECT_EQ(answeredType.value_or(0), SNMP_PDU_RESPONSE);
  EXPECT_TRUE(onGuiThread);
  SnmpCleanup();
}

}  // namespace
