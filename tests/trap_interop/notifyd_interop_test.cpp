// net-snmp's snmptrap sends SNMPv1 traps to notifyd; two registered
// sessions of this process and one of a second process each receive them
// in the SNMPv2 notification form.
#include "background_process.h"
#include "received_traps.h"
#include "required_peer.h"
#include "trap_server.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kSysUpTime = "1.3.6.1.2.1.1.3.0";
const std::string kSnmpTrapOid = "1.3.6.1.6.3.1.1.4.1.0";
const std::string kSnmpTrapEnterprise = "1.3.6.1.6.3.1.1.4.3.0";

bool haveSnmptrap() { return system("command -v snmptrap >/dev/null 2>&1") == 0; }

class SnmptrapToNotifyd : public testing::Test {
 protected:
  void SetUp() override {
    if (!haveSnmptrap()) ORVANE_MISSING_PEER() << "snmptrap (Debian package snmp) is not installed";
    ASSERT_TRUE(server.start());
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    for (HSNMP_SESSION& session : sessions) {
      session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
      ASSERT_EQ(SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS);
    }
    ASSERT_TRUE(printer.start({ORVANE_TRAP_PRINTER_PATH}));
    ASSERT_NE(printer.waitForLine("registered", 30s), "") << printer.stop();
  }
  void TearDown() override { SnmpCleanup(); }

  // snmptrap -v1 with the enterprise, agent, generic and specific type,
  // uptime and bindings given.
  void snmptrap(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"snmptrap", "-v1", "-c", "public", "-m", "",
                                        "127.0.0.1:" + std::to_string(server.port())};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ProgramRun run = runProgram(command, 30s);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }

  TrapServer server;
  HSNMP_SESSION sessions[2] = {};
  BackgroundProcess printer;
};

TEST_F(SnmptrapToNotifyd, EveryRegisteredSessionInEitherProcessGetsTheNotification) {
  snmptrap({"1.3.6.1.4.1.27182", "10.1.2.3", "6", "17", "4711", "1.3.6.1.4.1.27182.1", "i", "-12",
            "1.3.6.1.4.1.27182.2", "s", "Orvane", "1.3.6.1.4.1.27182.3", "a", "10.0.0.1", "1.3.6.1.4.1.27182.4", "o",
            "1.3.6.1.2.1", "1.3.6.1.4.1.27182.5", "c", "4000000000", "1.3.6.1.4.1.27182.6", "t", "99"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {kSysUpTime, "67:4711"},
      {kSnmpTrapOid, "6:1.3.6.1.4.1.27182.0.0.17"},
      {"1.3.6.1.4.1.27182.1", "2:-12"},
      {"1.3.6.1.4.1.27182.2", "4:Orvane"},
      {"1.3.6.1.4.1.27182.3", "64:10.0.0.1"},
      {"1.3.6.1.4.1.27182.4", "6:1.3.6.1.2.1"},
      {"1.3.6.1.4.1.27182.5", "65:4000000000"},
      {"1.3.6.1.4.1.27182.6", "67:99"},
      {kSnmpTrapEnterprise, "6:1.3.6.1.4.1.27182"}};
  for (HSNMP_SESSION session : sessions) {
    std::optional<ReceivedTrap> trap = waitForTrap(session);
    ASSERT_TRUE(trap);
    EXPECT_EQ(trap->type, SNMP_PDU_TRAP);
    EXPECT_EQ(trap->source, "127.0.0.1");
    EXPECT_EQ(trap->community, "public");
    EXPECT_EQ(trap->bindings, expected);
  }
  std::string line = printer.waitForLine("trap ", 30s);
  std::string bindings;
  for (const auto& [name, value] : expected) bindings += " " + name + "=" + value;
  EXPECT_EQ(line, "trap 127.0.0.1 public" + bindings);
}

TEST_F(SnmptrapToNotifyd, GenericTrapsBecomeTheStandardNotifications) {
  const std::vector<std::pair<std::string, std::string>> generics = {
      {"0", "1.3.6.1.6.3.1.1.5.1"}, {"2", "1.3.6.1.6.3.1.1.5.3"}, {"3", "1.3.6.1.6.3.1.1.5.4"},
      {"4", "1.3.6.1.6.3.1.1.5.5"}};
  for (const auto& [generic, notification] : generics) {
    snmptrap({"1.3.6.1.4.1.27182", "10.1.2.3", generic, "0", "5", "1.3.6.1.2.1.2.2.1.1.3", "i", "3"});
    std::optional<ReceivedTrap> trap = waitForTrap(sessions[0]);
    ASSERT_TRUE(trap) << generic;
    EXPECT_EQ(trap->valueOf(kSnmpTrapOid), "6:" + notification) << generic;
    EXPECT_EQ(trap->valueOf("1.3.6.1.2.1.2.2.1.1.3"), "2:3");
    EXPECT_EQ(trap->valueOf(kSnmpTrapEnterprise), "6:1.3.6.1.4.1.27182");
  }
}

TEST_F(SnmptrapToNotifyd, NothingMoreArrivesAfterUnregistering) {
  ASSERT_EQ(SnmpRegister(sessions[1], nullptr, nullptr, nullptr, nullptr, SNMPAPI_OFF), SNMPAPI_SUCCESS);
  snmptrap({"1.3.6.1.4.1.27182", "10.1.2.3", "6", "1", "5"});
  ASSERT_TRUE(waitForTrap(sessions[0]));
  ASSERT_NE(printer.waitForLine("trap ", 30s), "");
  // One delivery serves every session: the first one's copy came, so the
  // second one would have had its copy by now.
  EXPECT_FALSE(waitForTrap(sessions[1], 0ms));
  EXPECT_EQ(SnmpGetLastError(sessions[1]), static_cast<SNMPAPI_STATUS>(SNMPAPI_NOOP));
}

}  // namespace
