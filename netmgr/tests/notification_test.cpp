// Telling applications: a session whose notifications cannot be posted
// holds up no other session, and its failing posts are retried until the
// target can take them.
#include "session_fixture.h"

#include "session.h"

#include <atomic>

namespace {

using namespace std::chrono_literals;

constexpr UINT kAnswered = WM_USER + 7;

netmgr::PostRetry& retryOf(HSNMP_SESSION session) { return static_cast<netmgr::Session*>(session)->postRetry; }

// Waits until `condition` holds, for at most `limit`.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = 10s) {
  auto giveUp = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

DWORD WINAPI endAtOnce(LPVOID) { return 0; }

// The id of a thread that has ended: posts to it fail.
DWORD endedThreadId() {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, endAtOnce, nullptr, 0, &id);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return id;
}

class Notification : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    ASSERT_TRUE(agent.start());
  }
  // Sends a GetNext for `oid` from `session`.
  bool askFor(HSNMP_SESSION session, const char* oid, smiTIMETICKS timeout = 100, smiUINT32 retry = 1) {
    return SnmpSendMsg(session, nullptr, agentAt(session, agent.port(), timeout, retry), community(session, "public"),
                       request(session, SNMP_PDU_GETNEXT, oid)) == SNMPAPI_SUCCESS;
  }

  SimulatedAgent agent;
};

// The answer to the broken session arrives first and its post keeps
// failing. The walk's requests give the agent 3 seconds and no retry, far
// less than the broken session's posts are retried, so they could only
// time out if its retries ran where the walk's answers are received.
TEST_F(Notification, ASessionWhoseThreadHasEndedHoldsUpNoOtherSession) {
  HSNMP_SESSION broken = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, endedThreadId(), kAnswered);
  ASSERT_NE(broken, nullptr);
  ASSERT_TRUE(askFor(broken, "1.3.6.1.2.1.1"));
  ASSERT_TRUE(eventually([&] { return retryOf(broken).unposted.load() > 0; }));

  HSNMP_SESSION walker = openPolled();
  std::string name = "1.3.6.1.2.1.1";
  for (int step = 0; step < 20; ++step) {
    ASSERT_TRUE(askFor(walker, name.c_str(), 300, 0));
    Received answer = waitFor(walker);
    ASSERT_EQ(answer.status, SNMPAPI_SUCCESS) << "step " << step << ", error " << answer.error;
    name = firstName(answer.pdu);
  }
  // The broken session's answer was kept for it all the same.
  EXPECT_EQ(waitFor(broken).status, SNMPAPI_SUCCESS);
}

struct LateListener {
  HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  std::atomic<UINT> received{0};
};

// Makes its message queue only when told to, then waits for one message.
DWORD WINAPI listenWhenTold(LPVOID argument) {
  auto* listener = static_cast<LateListener*>(argument);
  WaitForSingleObject(listener->go, INFINITE);
  MSG message;
  PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE);
  if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 20000, QS_ALLPOSTMESSAGE) == WAIT_OBJECT_0 &&
      PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    listener->received.store(message.message);
  }
  return 0;
}

TEST_F(Notification, AFailingPostIsRetriedUntilTheTargetCanTakeIt) {
  LateListener listener;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, listenWhenTold, &listener, 0, &id);
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_THREAD, id, kAnswered);
  ASSERT_TRUE(askFor(session, "1.3.6.1.2.1.1"));
  // Without a queue the thread cannot be posted to yet.
  bool owed = eventually([&] { return retryOf(session).unposted.load() > 0; });
  SetEvent(listener.go);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(listener.go);
  ASSERT_TRUE(owed);
  EXPECT_EQ(listener.received.load(), kAnswered);
  EXPECT_TRUE(eventually([&] { return retryOf(session).unposted.load() == 0 && !retryOf(session).scheduled.load(); }));
}

}  // namespace
