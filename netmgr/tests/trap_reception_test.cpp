// Trap reception through the trap server: registration, the catcher's
// record checks, conversion and fan-out to every registered session, and
// the catcher's life across start-up and clean-up.
#include "message_builder.h"
#include "background_process.h"
#include "net_snmp_agent.h"
#include "required_peer.h"
#include "received_traps.h"
#include "trap_server.h"
#include "trap_server_link.h"

#include "handles.h"

#include "notifyd/trap_server.h"
#include "platform/messages.h"
#include "platform/process_windows.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr char kCatcherClass[] = "Orvane_NETMGR_TRAP_CATCHER_CLASS";

std::string asString(const Octets& octets) { return std::string(octets.begin(), octets.end()); }

// An enterprise-specific trap whose specific type tells traps apart.
std::string trapNumbered(int specific, const std::string& community = "public") {
  TrapParts trap;
  trap.community = community;
  trap.specific = Octets{0x02, 0x01, static_cast<uint8_t>(specific)};
  trap.varbinds = varbind(hex("2B 06 01 04 01 81 D4 2E 01"), hex("02 01 2A"));
  return asString(trap.build());
}

class TrapReception : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  }
  void TearDown() override { SnmpCleanup(); }

  HSNMP_SESSION registeredSession() {
    HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
    EXPECT_EQ(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS)
        << SnmpGetLastError(session);
    return session;
  }
  bool send(const std::string& message) { return sendDatagram(server.port(), message); }

  TrapServer server;
};

TEST_F(TrapReception, EverySessionGetsItsOwnCopyInTheNotificationForm) {
  HSNMP_SESSION first = registeredSession();
  HSNMP_SESSION second = registeredSession();
  ASSERT_TRUE(send(trapNumbered(5)));
  std::optional<ReceivedTrap> one = waitForTrap(first);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->type, SNMP_PDU_TRAP);
  EXPECT_EQ(one->source, "127.0.0.1");
  EXPECT_EQ(one->community, "public");
  ASSERT_EQ(one->bindings.size(), 4u);
  EXPECT_EQ(one->bindings[0], std::make_pair(std::string("1.3.6.1.2.1.1.3.0"), std::string("67:1234")));
  EXPECT_EQ(one->bindings[1], std::make_pair(std::string("1.3.6.1.6.3.1.1.4.1.0"), std::string("6:1.3.6.1.4.1.27182.0.0.5")));
  EXPECT_EQ(one->bindings[2], std::make_pair(std::string("1.3.6.1.4.1.27182.1"), std::string("2:42")));
  EXPECT_EQ(one->bindings[3], std::make_pair(std::string("1.3.6.1.6.3.1.1.4.3.0"), std::string("6:1.3.6.1.4.1.27182")));
  // The first copy's handles are freed already; the second is whole.
  std::optional<ReceivedTrap> two = waitForTrap(second);
  ASSERT_TRUE(two);
  EXPECT_EQ(two->bindings, one->bindings);
}

TEST_F(TrapReception, GenericTrapsCarryTheStandardTrapOid) {
  HSNMP_SESSION session = registeredSession();
  TrapParts trap;
  trap.generic = hex("02 01 00");
  trap.timeStamp = hex("43 01 07");
  ASSERT_TRUE(send(asString(trap.build())));
  std::optional<ReceivedTrap> received = waitForTrap(session);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.6.3.1.1.5.1");
  EXPECT_EQ(received->valueOf("1.3.6.1.2.1.1.3.0"), "67:7");
}

TEST_F(TrapReception, NothingMoreArrivesAfterUnregistering) {
  HSNMP_SESSION leaving = registeredSession();
  HSNMP_SESSION staying = registeredSession();
  ASSERT_TRUE(send(trapNumbered(1)));
  ASSERT_TRUE(waitForTrap(leaving));
  ASSERT_TRUE(waitForTrap(staying));
  ASSERT_EQ(SnmpRegister(leaving, nullptr, nullptr, nullptr, nullptr, SNMPAPI_OFF), SNMPAPI_SUCCESS);
  ASSERT_TRUE(send(trapNumbered(2)));
  // Both sessions are served in one delivery: once one has it, the other
  // would have it too.
  std::optional<ReceivedTrap> received = waitForTrap(staying);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.4.1.27182.0.0.2");
  HSNMP_ENTITY source, destination;
  HSNMP_CONTEXT context;
  HSNMP_PDU pdu;
  EXPECT_FALSE(SnmpRecvMsg(leaving, &source, &destination, &context, &pdu));
  EXPECT_EQ(SnmpGetLastError(leaving), static_cast<SNMPAPI_STATUS>(SNMPAPI_NOOP));
}

TEST_F(TrapReception, MessagesThatAreNotV1TrapsOrHaveAnUnknownGenericTypeAreDropped) {
  HSNMP_SESSION session = registeredSession();
  TrapParts unknownGeneric;
  unknownGeneric.generic = hex("02 01 07");
  MessageParts request;
  for (const std::string& dropped : {asString(unknownGeneric.build()), asString(request.build()), std::string("junk"),
                                     std::string()}) {
    ASSERT_TRUE(send(dropped));
  }
  ASSERT_TRUE(send(trapNumbered(9)));
  std::optional<ReceivedTrap> received = waitForTrap(session);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.4.1.27182.0.0.9");
}

// SNMPv2c notifications are not converted: what the agent sent is what
// the session gets.
TEST_F(TrapReception, AnSnmpV2cTrapIsDeliveredAsItIs) {
  HSNMP_SESSION session = registeredSession();
  MessageParts trap;
  trap.version = hex("02 01 01");
  trap.type = SNMP_PDU_TRAP;
  trap.requestId = hex("02 01 09");
  trap.varbinds = join({varbind(hex("2B 06 01 02 01 01 03 00"), hex("43 01 07")),
                        varbind(hex("2B 06 01 06 03 01 01 04 01 00"), hex("06 09 2B 06 01 04 01 81 D4 2E 05")),
                        varbind(hex("2B 06 01 02 01 1F 01 01 01 06 01"), hex("46 05 01 00 00 00 00"))});
  ASSERT_TRUE(send(asString(trap.build())));
  std::optional<ReceivedTrap> received = waitForTrap(session);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->type, SNMP_PDU_TRAP);
  EXPECT_EQ(received->community, "public");
  ASSERT_EQ(received->bindings.size(), 3u);
  EXPECT_EQ(received->valueOf("1.3.6.1.2.1.1.3.0"), "67:7");
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.4.1.27182.5");
  EXPECT_EQ(received->bindings[2].first, "1.3.6.1.2.1.31.1.1.1.6.1");
}

// The trap server answers an inform on the port it came to, so the
// sender stops resending; the sessions are told of it as an inform.
TEST_F(TrapReception, AnInformIsAnsweredAndDelivered) {
  if (system("command -v snmpinform >/dev/null 2>&1") != 0) ORVANE_MISSING_PEER() << "snmpinform is not installed";
  HSNMP_SESSION session = registeredSession();
  ProgramRun inform = runProgram({"snmpinform", "-v2c", "-c", "public", "-r", "0", "-t", "20",
                                  "127.0.0.1:" + std::to_string(server.port()), "0", "1.3.6.1.4.1.27182.7"},
                                 60s);
  EXPECT_EQ(inform.exitCode, 0) << inform.output;
  std::optional<ReceivedTrap> received = waitForTrap(session);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->type, SNMP_PDU_INFORM);
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.4.1.27182.7");
}

// The catcher window refuses blocks that are not whole trap records.
TEST_F(TrapReception, TheCatcherWindowTakesOnlyWholeRecords) {
  HSNMP_SESSION session = registeredSession();
  HWND catcher = FindWindow(kCatcherClass, nullptr);
  ASSERT_NE(catcher, nullptr);
  std::string message = trapNumbered(3);
  uint8_t sender[4] = {192, 0, 2, 9};
  std::vector<uint8_t> record = trapserver::buildRecord(sender, reinterpret_cast<const uint8_t*>(message.data()),
                                                        message.size());
  auto offer = [&](std::vector<uint8_t> block) {
    COPYDATASTRUCT data{0, static_cast<DWORD>(block.size()), block.data()};
    return SendMessage(catcher, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  };
  auto patched = [&](size_t offset, uint32_t value) {
    std::vector<uint8_t> block = record;
    trapserver::putWord(&block[offset], value);
    return block;
  };
  EXPECT_EQ(offer(std::vector<uint8_t>(record.begin(), record.begin() + 31)), FALSE);
  EXPECT_EQ(offer(patched(0, 0x12321099)), FALSE);
  EXPECT_EQ(offer(patched(4, static_cast<uint32_t>(record.size() + 1))), FALSE);
  // The message length must stay within the record, whatever the total says.
  EXPECT_EQ(offer(patched(28, static_cast<uint32_t>(message.size() + 1))), FALSE);
  EXPECT_EQ(offer(patched(28, 0xFFFFFFF0u)), FALSE);
  std::vector<uint8_t> shortTotal = patched(4, 40);
  EXPECT_EQ(offer(shortTotal), FALSE);
  EXPECT_EQ(offer(record), TRUE);
  std::optional<ReceivedTrap> received = waitForTrap(session);
  ASSERT_TRUE(received);
  EXPECT_EQ(received->source, "192.0.2.9");
  EXPECT_EQ(received->valueOf("1.3.6.1.6.3.1.1.4.1.0"), "6:1.3.6.1.4.1.27182.0.0.3");
}

TEST_F(TrapReception, TheCatcherStartsAndStopsWithEveryStartUpAndCleanUp) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    if (cycle > 0) {
      ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    }
    HSNMP_SESSION session = registeredSession();
    ASSERT_NE(server.waitForLog("as " + std::to_string(cycle + 1)), "");
    ASSERT_TRUE(send(trapNumbered(cycle)));
    ASSERT_TRUE(waitForTrap(session)) << "cycle " << cycle;
    ASSERT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
    EXPECT_EQ(FindWindow(kCatcherClass, nullptr), nullptr);
    EXPECT_NE(server.waitForLog("registration " + std::to_string(cycle + 1) + " "), "");
  }
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
}

// The catcher's window lives on the thread that registered first; when
// that thread ends, the next registration brings it back on its own thread.
TEST_F(TrapReception, AfterTheRegisteringThreadEndsTheNextRegistrationJoinsAgain) {
  HSNMP_SESSION first = nullptr;
  std::thread([&] { first = registeredSession(); }).join();
  ASSERT_NE(first, nullptr);
  HSNMP_SESSION second = registeredSession();
  ASSERT_NE(server.waitForLog("as 2"), "");
  ASSERT_TRUE(send(trapNumbered(6)));
  EXPECT_TRUE(waitForTrap(second));
  EXPECT_TRUE(waitForTrap(first));
}

// Copies nobody took go with their session, and at clean-up with the rest.
TEST_F(TrapReception, NotificationsLeftQueuedAreReleasedWithTheirSession) {
  HSNMP_SESSION taking = registeredSession();
  HSNMP_SESSION closing = registeredSession();
  registeredSession();  // its copy waits until SnmpCleanup
  ASSERT_TRUE(send(trapNumbered(8)));
  ASSERT_TRUE(waitForTrap(taking));
  long pdus = netmgr::countLive(netmgr::ObjectKind::pdu), lists = netmgr::countLive(netmgr::ObjectKind::list),
       entities = netmgr::countLive(netmgr::ObjectKind::entity);
  ASSERT_EQ(SnmpClose(closing), SNMPAPI_SUCCESS);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::pdu), pdus - 1);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::list), lists - 1);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::entity), entities - 2);
}

TEST_F(TrapReception, RegisteringChecksItsArguments) {
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  EXPECT_FALSE(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, 2));
  EXPECT_EQ(SnmpGetLastError(session), static_cast<SNMPAPI_STATUS>(SNMPAPI_MODE_INVALID));
  EXPECT_FALSE(SnmpRegister(reinterpret_cast<HSNMP_SESSION>(0x1234), nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON));
  EXPECT_EQ(SnmpGetLastError(nullptr), static_cast<SNMPAPI_STATUS>(SNMPAPI_SESSION_INVALID));
  SnmpCleanup();
  EXPECT_FALSE(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON));
  EXPECT_EQ(SnmpGetLastError(nullptr), static_cast<SNMPAPI_STATUS>(SNMPAPI_NOT_INITIALIZED));
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(TrapReception, AClosedSessionIsNoLongerServed) {
  HSNMP_SESSION closing = registeredSession();
  HSNMP_SESSION staying = registeredSession();
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(send(trapNumbered(i)));
  ASSERT_EQ(SnmpClose(closing), SNMPAPI_SUCCESS);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(waitForTrap(staying)) << i;
}

// Without a server: the catcher starts the program through the search
// path, here one that never opens a window.
bool portIsFree(uint16_t port) {
  int probe = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool free = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(probe);
  return free;
}

class WithoutTrapServer : public testing::Test {
 protected:
  void SetUp() override {
    folder = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/bin";
    std::filesystem::create_directory(folder);
    path = std::getenv("PATH");
    setenv("PATH", (folder + ":" + path).c_str(), 1);
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  }
  void TearDown() override {
    SnmpCleanup();
    setenv("PATH", path.c_str(), 1);
    netmgr::setTrapServerSearch(0, 0);
  }
  void installProgram(const std::string& script) {
    std::string program = folder + "/notifyd";
    std::ofstream(program) << script;
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  }

  std::string folder, path;
};

TEST_F(WithoutTrapServer, RegisteringFailsWith102WhenNoServerWindowAppears) {
  installProgram("#!/bin/sh\necho started >\"$ORVANE_RUNTIME_DIR/fake-started\"\n");
  netmgr::setTrapServerSearch(5, 10);
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  EXPECT_FALSE(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON));
  EXPECT_EQ(SnmpGetLastError(session), static_cast<SNMPAPI_STATUS>(SNMPAPI_TL_NOT_AVAILABLE));
  EXPECT_TRUE(pumpMessagesUntil(
      [] { return std::filesystem::exists(std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/fake-started"); }, 20s));
  EXPECT_EQ(FindWindow(kCatcherClass, nullptr), nullptr);
}

// The real server on a port that is taken ends at once; the registration
// fails then, not after the whole search for the server's window.
TEST_F(WithoutTrapServer, RegisteringFailsSoonWhenTheServerCannotTakeItsPort) {
  int holder = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
  setenv("ORVANE_NOTIFYD_PORT", std::to_string(ntohs(address.sin_port)).c_str(), 1);
  setenv("ORVANE_NOTIFYD_ADDRESS", "127.0.0.1", 1);
  std::filesystem::copy_file(ORVANE_NOTIFYD_PATH, folder + "/notifyd");
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON));
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(SnmpGetLastError(session), static_cast<SNMPAPI_STATUS>(SNMPAPI_TL_NOT_AVAILABLE));
  // The whole search takes 50 s; a server that ends is given up on its end.
  EXPECT_LT(waited, 30s);
  unsetenv("ORVANE_NOTIFYD_PORT");
  unsetenv("ORVANE_NOTIFYD_ADDRESS");
  close(holder);
}

TEST_F(WithoutTrapServer, RegisteringFailsAtOnceWhenTheProgramCannotBeStarted) {
  setenv("PATH", folder.c_str(), 1);
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  EXPECT_FALSE(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON));
  EXPECT_EQ(SnmpGetLastError(session), static_cast<SNMPAPI_STATUS>(SNMPAPI_TL_NOT_AVAILABLE));
}

// The real server, started on demand on a port from the environment; it
// stops by itself once its runtime entry is gone.
TEST_F(WithoutTrapServer, StartsTheServerOnDemand) {
  uint16_t port = freeLoopbackPort();
  setenv("ORVANE_NOTIFYD_PORT", std::to_string(port).c_str(), 1);
  setenv("ORVANE_NOTIFYD_ADDRESS", "127.0.0.1", 1);
  std::filesystem::copy_file(ORVANE_NOTIFYD_PATH, folder + "/notifyd");
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  ASSERT_EQ(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS)
      << SnmpGetLastError(session);
  HWND server = FindWindow(trapserver::kServerClass, trapserver::kServerTitle);
  ASSERT_NE(server, nullptr);
  ASSERT_TRUE(sendDatagram(port, trapNumbered(4)));
  ASSERT_TRUE(waitForTrap(session));
  unsetenv("ORVANE_NOTIFYD_PORT");
  unsetenv("ORVANE_NOTIFYD_ADDRESS");
  SnmpCleanup();
  std::filesystem::remove_all(std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/windows");
  EXPECT_TRUE(pumpMessagesUntil([port] { return portIsFree(port); }, 30s)) << "the server did not stop";
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace
