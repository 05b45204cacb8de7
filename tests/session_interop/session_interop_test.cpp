// The session layer against net-snmp's agent: a GetNext, a whole walk that
// must equal snmpwalk's, and a Set.
#include "agent_walk.h"
#include "background_process.h"
#include "net_snmp_agent.h"
#include "peer_walk.h"
#include "walk_file.h"
#include "winsnmp.h"
#include "wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

class NetSnmpPeer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(agent.start()) << "snmpd did not start";
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
    target = SnmpStrToEntity(session, "127.0.0.1");
    SnmpSetPort(target, agent.port());
    SnmpSetTimeout(target, 200);
  }
  void TearDown() override { SnmpCleanup(); }

  HSNMP_CONTEXT community(const char* text) {
    smiOCTETS octets{static_cast<smiUINT32>(std::strlen(text)), reinterpret_cast<smiLPBYTE>(const_cast<char*>(text))};
    return SnmpStrToContext(session, &octets);
  }
  // Sends one request and waits for its answer; the answer's PDU or null.
  // On a slow machine the agent may answer a request and its resend: a
  // second answer to an earlier request is passed over.
  HSNMP_PDU exchange(const char* communityText, smiINT type, const char* oid, const smiVALUE* value = nullptr) {
    smiOID name{};
    SnmpStrToOid(oid, &name);
    smiVALUE null{};
    null.syntax = SNMP_SYNTAX_NULL;
    HSNMP_VBL list = SnmpCreateVbl(session, &name, value ? value : &null);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
    HSNMP_PDU request = SnmpCreatePdu(session, type, 0, 0, 0, list);
    smiINT32 sentId = 0;
    SnmpGetPduData(request, nullptr, &sentId, nullptr, nullptr, nullptr);
    SnmpSendMsg(session, nullptr, target, community(communityText), request);
    for (int wait = 0; wait < 500; ++wait) {
      HSNMP_ENTITY source, destination;
      HSNMP_CONTEXT context;
      HSNMP_PDU pdu;
      if (SnmpRecvMsg(session, &source, &destination, &context, &pdu)) {
        smiINT32 answeredId = 0;
        SnmpGetPduData(pdu, nullptr, &answeredId, nullptr, nullptr, nullptr);
        if (answeredId == sentId) return pdu;
        SnmpFreePdu(pdu);
        continue;
      }
      if (SnmpGetLastError(session) != SNMPAPI_NOOP) return nullptr;
      std::this_thread::sleep_for(10ms);
    }
    return nullptr;
  }
  static simagent::VarBind firstBinding(HSNMP_PDU pdu, smiINT* status = nullptr) {
    HSNMP_VBL list = nullptr;
    SnmpGetPduData(pdu, nullptr, nullptr, status, nullptr, &list);
    smiOID name{};
    smiVALUE value{};
    if (SnmpGetVb(list, 1, &name, &value) != SNMPAPI_SUCCESS) return {};
    return {simagent::Oid(name.ptr, name.ptr + name.len), simagent::valueFromLibrary(value)};
  }

  NetSnmpAgent agent;
  HSNMP_SESSION session = nullptr;
  HSNMP_ENTITY target = nullptr;
};

TEST_F(NetSnmpPeer, GetNextFromSysUpTimeGivesItsInstanceAndTicks) {
  HSNMP_PDU answer = exchange("public", SNMP_PDU_GETNEXT, "1.3.6.1.2.1.1.3");
  ASSERT_NE(answer, nullptr);
  simagent::VarBind binding = firstBinding(answer);
  EXPECT_EQ(simagent::oidToText(binding.name), "1.3.6.1.2.1.1.3.0");
  EXPECT_EQ(binding.value.syntax, SNMP_SYNTAX_TIMETICKS);
}

TEST_F(NetSnmpPeer, ASetWithTheReadWriteCommunityChangesSysContact) {
  const char contact[] = "walks@loopback";
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OCTETS;
  value.value.string = {static_cast<smiUINT32>(std::strlen(contact)), reinterpret_cast<smiLPBYTE>(const_cast<char*>(contact))};
  smiINT status = -1;
  HSNMP_PDU refused = exchange("public", SNMP_PDU_SET, "1.3.6.1.2.1.1.4.0", &value);
  ASSERT_NE(refused, nullptr) << "the read-only community must get an answer, not a time-out";
  firstBinding(refused, &status);
  EXPECT_NE(status, 0);
  HSNMP_PDU accepted = exchange("private", SNMP_PDU_SET, "1.3.6.1.2.1.1.4.0", &value);
  ASSERT_NE(accepted, nullptr);
  firstBinding(accepted, &status);
  EXPECT_EQ(status, 0);
  HSNMP_PDU read = exchange("public", SNMP_PDU_GET, "1.3.6.1.2.1.1.4.0");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(firstBinding(read).value.octets, contact);
}

class WholeWalk : public NetSnmpPeer, public testing::WithParamInterface<Notification> {};

TEST_P(WholeWalk, EqualsSnmpwalkInOrderNamesAndValues) {
  WalkResult ours = walkAgent(agent.port(), "public", GetParam());
  ASSERT_EQ(ours.failure, "");
  PeerWalk theirs = snmpwalk(agent.port());
  ASSERT_GT(theirs.names.size(), 100u);
  ASSERT_EQ(ours.bindings.size(), theirs.names.size());
  size_t compared = 0;
  for (size_t i = 0; i < theirs.names.size(); ++i) {
    const simagent::VarBind& mine = ours.bindings[i];
    ASSERT_EQ(simagent::oidToText(mine.name), simagent::oidToText(theirs.names[i])) << "binding " << i;
    const simagent::Value* peer = theirs.values.get(mine.name);
    if (!peer) continue;
    EXPECT_EQ(mine.value.syntax, peer->syntax) << simagent::oidToText(mine.name);
    if (!changesOverTime({mine.name, *peer})) {
      EXPECT_TRUE(mine.value == *peer) << simagent::oidToText(mine.name);
      ++compared;
    }
  }
  EXPECT_GT(compared, theirs.names.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(Notifications, WholeWalk,
                         testing::Values(Notification::windowMessage, Notification::threadMessage),
                         [](const testing::TestParamInfo<Notification>& info) {
                           return info.param == Notification::windowMessage ? "WindowMessages" : "ThreadMessages";
                         });

}  // namespace
