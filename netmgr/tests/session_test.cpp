// Sessions against the agent simulator on loopback: sending, answers,
// retransmission, time-outs and retrieval.
#include "session_fixture.h"

#include "session.h"

#include <atomic>
#include <set>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(SessionTest, AGetNextIsAnsweredWithTheNextInstance) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, agent.port());
  ASSERT_EQ(SnmpSendMsg(session, nullptr, target, community(session, "public"),
                        request(session, SNMP_PDU_GETNEXT, "1.3.6.1.2.1.1.3")),
            SNMPAPI_SUCCESS);
  Received answer = waitFor(session);
  ASSERT_EQ(answer.status, SNMPAPI_SUCCESS) << answer.error;
  smiVALUE value{};
  EXPECT_EQ(firstName(answer.pdu, nullptr, &value), "1.3.6.1.2.1.1.3.0");
  EXPECT_EQ(value.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_TIMETICKS));
  char source[32] = {};
  SnmpEntityToStr(answer.source, sizeof source, source);
  EXPECT_STREQ(source, "127.0.0.1");
  UINT sourcePort = 0;
  ASSERT_EQ(OvSnmpGetPort(answer.source, &sourcePort), SNMPAPI_SUCCESS);
  EXPECT_EQ(sourcePort, agent.port());
  EXPECT_EQ(agent.stopAndCountRequests(), 1);
}

TEST_F(SessionTest, NothingQueuedGivesNoopAndNullOutputs) {
  HSNMP_SESSION session = openPolled();
  int marker = 0;
  HSNMP_ENTITY source = &marker, destination = &marker;
  HSNMP_CONTEXT context = &marker;
  HSNMP_PDU pdu = &marker;
  EXPECT_EQ(SnmpRecvMsg(session, &source, &destination, &context, &pdu), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_NOOP);
  EXPECT_EQ(source, nullptr);
  EXPECT_EQ(destination, nullptr);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(pdu, nullptr);
  EXPECT_EQ(SnmpRecvMsg(session, &source, nullptr, &context, &pdu), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_OTHER_ERROR);
}

struct RetransmissionCase {
  smiUINT32 retry;
  bool retransmitOn;
  long expectedSends;
};

class Retransmission : public SessionTest, public testing::WithParamInterface<RetransmissionCase> {};

TEST_P(Retransmission, SendsRetryPlusOneTimesThenTimesOut) {
  const RetransmissionCase& c = GetParam();
  SimulatedAgent silent;
  ASSERT_TRUE(silent.start({"--drop-every", "1"}, true));
  SnmpSetRetransmitMode(c.retransmitOn ? SNMPAPI_ON : SNMPAPI_OFF);
  HSNMP_SESSION session = openPolled();
  HSNMP_PDU get = request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.3.0");
  ASSERT_EQ(SnmpSendMsg(session, nullptr, agentAt(session, silent.port(), 20, c.retry), community(session, "public"), get),
            SNMPAPI_SUCCESS);
  Received timedOut = waitFor(session);
  EXPECT_EQ(timedOut.status, SNMPAPI_FAILURE);
  EXPECT_EQ(timedOut.error, SNMPAPI_TL_TIMEOUT);
  EXPECT_EQ(timedOut.pdu, get);  // the application's own request
  // (sends) x 200 ms, less the 100 ms timer step, and never much later
  // however busy the machine.
  EXPECT_GE(timedOut.after, std::chrono::milliseconds(c.expectedSends * 200 - 100));
  EXPECT_LT(timedOut.after, std::chrono::milliseconds(c.expectedSends * 200 + 10000));
  // Every send reached the agent, and none follows the time-out.
  EXPECT_TRUE(silent.waitForRequests(c.expectedSends));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(silent.stopAndCountRequests(), c.expectedSends);
}

INSTANTIATE_TEST_SUITE_P(Policies, Retransmission,
                         testing::Values(RetransmissionCase{2, true, 3}, RetransmissionCase{2, false, 1},
                                         RetransmissionCase{0, true, 1}),
                         [](const testing::TestParamInfo<RetransmissionCase>& info) {
                           return "Retry" + std::to_string(info.param.retry) +
                                  (info.param.retransmitOn ? "On" : "Off");
                         });

TEST_F(SessionTest, AnAnswerAfterARetransmissionSetsTheActualRetryAndTimeout) {
  // Answers come 1.5 s after each request: after the first
  // retransmission (1 s) and well before the second (2 s).
  SimulatedAgent slow;
  ASSERT_TRUE(slow.start({"--delay", "1500"}));
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, slow.port(), 100, 3);
  SnmpSendMsg(session, nullptr, target, community(session, "public"), request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0"));
  Received answer = waitFor(session);
  ASSERT_EQ(answer.status, SNMPAPI_SUCCESS) << answer.error;
  smiUINT32 policyRetry = 0, actualRetry = 0;
  smiTIMETICKS policyTimeout = 0, actualTimeout = 0;
  SnmpGetRetry(target, &policyRetry, &actualRetry);
  SnmpGetTimeout(target, &policyTimeout, &actualTimeout);
  EXPECT_EQ(actualRetry, 1u);
  // One timeout (100) plus the answer's delay after the retransmission (about 50).
  EXPECT_GE(actualTimeout, 140u);
  EXPECT_LE(actualTimeout, 200u);
}

TEST_F(SessionTest, FreeingTheEntityOfAPendingRequestEndsIt) {
  SimulatedAgent silent;
  ASSERT_TRUE(silent.start({"--drop-every", "1"}, true));
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, silent.port(), 200, 3);
  SnmpSendMsg(session, nullptr, target, community(session, "public"), request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0"));
  ASSERT_TRUE(silent.waitForRequests(1));
  ASSERT_EQ(SnmpFreeEntity(target), SNMPAPI_SUCCESS);
  // Longer than the timeout: a request still pending would have been resent.
  Received nothing = waitFor(session, 3000ms);
  EXPECT_EQ(nothing.error, SNMPAPI_NOOP);
  EXPECT_EQ(silent.stopAndCountRequests(), 1);
}

TEST_F(SessionTest, AFreedRequestPduComesBackNullWithTheTimeOut) {
  SimulatedAgent silent;
  ASSERT_TRUE(silent.start({"--drop-every", "1"}));
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, silent.port(), 20, 0);
  HSNMP_CONTEXT context = community(session, "public");
  HSNMP_PDU get = request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0");
  SnmpSendMsg(session, nullptr, target, context, get);
  SnmpFreePdu(get);
  Received timedOut = waitFor(session);
  EXPECT_EQ(timedOut.error, SNMPAPI_TL_TIMEOUT);
  EXPECT_EQ(timedOut.pdu, nullptr);
  EXPECT_EQ(timedOut.destination, target);
  EXPECT_EQ(timedOut.context, context);
}

TEST_F(SessionTest, SessionsListenOnConsecutivePortsFrom2000) {
  auto* first = reinterpret_cast<netmgr::Session*>(openPolled());
  auto* second = reinterpret_cast<netmgr::Session*>(openPolled());
  EXPECT_GE(first->localPort, 2000);
  EXPECT_LT(first->localPort, 3000);
  EXPECT_GT(second->localPort, first->localPort);  // the next free one (other tests may hold some)
}

TEST_F(SessionTest, EqualRequestIdsInTwoSessionsKeepTheirOwnOutcomes) {
  SimulatedAgent silent, answering;
  ASSERT_TRUE(silent.start({"--drop-every", "1"}));
  ASSERT_TRUE(answering.start());
  HSNMP_SESSION quiet = openPolled(), busy = openPolled();
  SnmpSendMsg(quiet, nullptr, agentAt(quiet, silent.port(), 20, 1), community(quiet, "public"),
              request(quiet, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0", 1));
  SnmpSendMsg(busy, nullptr, agentAt(busy, answering.port(), 20, 1), community(busy, "public"),
              request(busy, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0", 1));
  EXPECT_EQ(waitFor(busy).status, SNMPAPI_SUCCESS);
  EXPECT_EQ(waitFor(quiet).error, SNMPAPI_TL_TIMEOUT);
  EXPECT_EQ(silent.stopAndCountRequests(), 2);  // its retransmission was not cancelled
}

TEST_F(SessionTest, TwoHundredConcurrentRequestsAreAllAccountedFor) {
  SimulatedAgent lossy;
  ASSERT_TRUE(lossy.start({"--drop-percent", "20", "--seed", "7"}));
  std::vector<HSNMP_SESSION> sessions;
  for (int i = 0; i < 4; ++i) sessions.push_back(openPolled());
  std::set<std::pair<int, smiINT32>> pending;
  for (int i = 0; i < 200; ++i) {
    HSNMP_SESSION session = sessions[i % 4];
    HSNMP_PDU get = request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0", i + 1);
    // Three seconds a try: a busy machine may take a while to answer 200.
    ASSERT_EQ(SnmpSendMsg(session, nullptr, agentAt(session, lossy.port(), 300, 1), community(session, "public"), get),
              SNMPAPI_SUCCESS);
    pending.insert({i % 4, i + 1});
  }
  int answered = 0, timedOut = 0;
  auto deadline = Clock::now() + 60s;
  while (!pending.empty() && Clock::now() < deadline) {
    for (int s = 0; s < 4; ++s) {
      Received item = waitFor(sessions[s], 1ms);
      if (!item.status && item.error == SNMPAPI_NOOP) continue;
      smiINT32 id = 0;
      SnmpGetPduData(item.pdu, nullptr, &id, nullptr, nullptr, nullptr);
      EXPECT_EQ(pending.erase({s, id}), 1u) << "session " << s << " id " << id;
      (item.status ? answered : timedOut) += 1;
    }
  }
  EXPECT_TRUE(pending.empty()) << pending.size() << " requests lost";
  EXPECT_EQ(answered + timedOut, 200);
  EXPECT_GT(answered, 150);
}

TEST_F(SessionTest, RequestsMayNotCarryAnErrorResponsesMay) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, agent.port(), 20, 0);
  HSNMP_CONTEXT context = community(session, "public");
  HSNMP_VBL list = nullptr;
  SnmpGetPduData(request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0"), nullptr, nullptr, nullptr, nullptr, &list);
  EXPECT_EQ(SnmpSendMsg(session, nullptr, target, context, SnmpCreatePdu(session, SNMP_PDU_GET, 0, 1, 1, list)),
            SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_PDU_INVALID);
  EXPECT_EQ(SnmpSendMsg(session, nullptr, target, context, SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 0, 1, 1, list)),
            SNMPAPI_SUCCESS);
  HSNMP_PDU untyped = SnmpCreatePdu(session, 0, 0, 0, 0, list);
  EXPECT_EQ(SnmpSendMsg(session, nullptr, target, context, untyped), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_OPERATION_INVALID);
  EXPECT_EQ(waitFor(session).error, SNMPAPI_TL_TIMEOUT);  // nobody answers a response
  EXPECT_EQ(agent.stopAndCountRequests(), 1);
}

TEST_F(SessionTest, AnSnmpV1TrapGoesOutOnceAnSnmpV2TrapIsRetransmitted) {
  SimulatedAgent receiver;
  ASSERT_TRUE(receiver.start());
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY target = agentAt(session, receiver.port(), 20, 1);
  HSNMP_CONTEXT context = community(session, "public");
  EXPECT_EQ(SnmpSendMsg(session, nullptr, target, context, request(session, SNMP_PDU_V1TRAP, "1.3.6.1.2.1.1.5.0")),
            SNMPAPI_SUCCESS);
  HSNMP_PDU v2Trap = request(session, SNMP_PDU_TRAP, "1.3.6.1.2.1.1.5.0");
  EXPECT_EQ(SnmpSendMsg(session, nullptr, target, context, v2Trap), SNMPAPI_SUCCESS);
  Received timedOut = waitFor(session);
  EXPECT_EQ(timedOut.error, SNMPAPI_TL_TIMEOUT);
  EXPECT_EQ(timedOut.pdu, v2Trap);
  EXPECT_EQ(waitFor(session, 300ms).error, SNMPAPI_NOOP);  // nothing for the SNMPv1 trap
  EXPECT_EQ(receiver.stopAndCountRequests(), 1 + 2);
}

TEST_F(SessionTest, ClosedSessionsReleaseWhatTheyQueued) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  const UINT kArrived = WM_USER + 8;
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kArrived);
  ASSERT_NE(session, nullptr);
  HSNMP_ENTITY target = agentAt(session, agent.port());
  HSNMP_CONTEXT context = community(session, "public");
  for (int i = 0; i < 5; ++i) SnmpSendMsg(session, nullptr, target, context, request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0"));
  // Each answer announced is queued; none is retrieved.
  int announced = 0;
  for (auto deadline = Clock::now() + 30s; announced < 5 && Clock::now() < deadline;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLPOSTMESSAGE);
    while (PeekMessage(&message, nullptr, kArrived, kArrived, PM_REMOVE)) ++announced;
  }
  ASSERT_EQ(announced, 5);
  EXPECT_EQ(SnmpClose(session), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpClose(session), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
}

TEST_F(SessionTest, OpeningChecksModesAndWindows) {
  EXPECT_EQ(SnmpOpenEx(0x10, 0, 0), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_NOTIFY_MODE_UNKNOWN);
  EXPECT_EQ(SnmpOpenEx(SNMPAPI_NOTIFY_WINDOW, 12345, 0), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_HWND_INVALID);
  EXPECT_EQ(SnmpOpen(nullptr, 1025), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_HWND_INVALID);
  // With the utility library (built beside netmgr) a session of the
  // platform trap service opens; without it, see the conversion tests.
  HSNMP_SESSION service = SnmpOpenEx(SNMPAPI_NOTIFY_TRAP_SERVICE, 0, 0);
  ASSERT_NE(service, nullptr);
  // It has no socket to send on.
  EXPECT_FALSE(SnmpSendMsg(service, nullptr, agentAt(service, 161), community(service, "public"),
                           request(service, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0")));
  EXPECT_EQ(SnmpGetLastError(service), static_cast<SNMPAPI_STATUS>(SNMPAPI_OPERATION_INVALID));
}

// Notification by thread message: one message per queued item.
TEST_F(SessionTest, ThreadMessagesAnnounceEachAnswer) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  const UINT kArrived = WM_USER + 7;
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, GetCurrentThreadId(), kArrived);
  ASSERT_NE(session, nullptr);
  HSNMP_ENTITY target = agentAt(session, agent.port());
  HSNMP_CONTEXT context = community(session, "public");
  for (int i = 0; i < 3; ++i) SnmpSendMsg(session, nullptr, target, context, request(session, SNMP_PDU_GET, "1.3.6.1.2.1.1.5.0"));
  int notified = 0, retrieved = 0;
  auto deadline = Clock::now() + 10s;
  while (retrieved < 3 && Clock::now() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLPOSTMESSAGE);
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != kArrived) continue;
      ++notified;
      HSNMP_ENTITY source, destination;
      HSNMP_CONTEXT community;
      HSNMP_PDU pdu;
      if (SnmpRecvMsg(session, &source, &destination, &community, &pdu)) ++retrieved;
    }
  }
  EXPECT_EQ(notified, 3);
  EXPECT_EQ(retrieved, 3);
}

std::atomic<int> windowNotifications{0};
LRESULT CALLBACK countNotifications(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 1025) {
    ++windowNotifications;
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

TEST_F(SessionTest, WindowMessagesAnnounceEachAnswer) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = countNotifications;
  windowClass.lpszClassName = "SessionTestWindow";
  RegisterClass(&windowClass);
  HWND window = CreateWindow("SessionTestWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  HSNMP_SESSION session = SnmpOpen(window, 1025);
  ASSERT_NE(session, nullptr);
  SnmpSendMsg(session, nullptr, agentAt(session, agent.port()), community(session, "public"),
              request(session, SNMP_PDU_GETNEXT, "1.3.6.1.2.1.1"));
  auto deadline = Clock::now() + 10s;
  MSG message;
  while (windowNotifications.load() == 0 && Clock::now() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLPOSTMESSAGE);
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
  }
  EXPECT_EQ(windowNotifications.load(), 1);
  EXPECT_EQ(firstName(waitFor(session).pdu), "1.3.6.1.2.1.1.1.0");
  DestroyWindow(window);
}

}  // namespace
