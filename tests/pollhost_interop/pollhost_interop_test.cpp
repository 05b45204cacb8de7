// The polling service against net-snmp's agent (and the agent simulator
// beside it): what the service reports of each agent is what snmpget
// reads from it.
#include "net_snmp_agent.h"
#include "polling_service_run.h"
#include "required_peer.h"
#include "simulated_agent.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace std::chrono_literals;

// One value as `snmpget -v1 -Oqvt` prints it, without the quotes around
// strings; empty when the agent has none.
std::string snmpget(uint16_t port, const std::string& oid) {
  ProgramRun run = runProgram({"snmpget", "-v1", "-c", "vulpes", "-Oqvt", "127.0.0.1:" + std::to_string(port), oid},
                              30s, {"MIBS="});
  if (run.exitCode != 0) return "";
  std::string value = run.output.substr(0, run.output.find('\n'));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

// The text after "\r\n<label>: " in a report, up to the line's end.
std::string reportLine(const std::string& report, const std::string& label) {
  size_t at = report.find("\r\n" + label + ": ");
  if (at == std::string::npos) return "";
  at += label.size() + 4;
  return report.substr(at, report.find("\r\n", at) - at);
}

class PollhostAgainstAgents : public testing::Test {
 protected:
  void SetUp() override {
    if (!toolAvailable("snmpd") || !toolAvailable("snmpget")) {
      ORVANE_MISSING_PEER() << "net-snmp's snmpd and snmpget are needed";
    }
    ASSERT_TRUE(snmpd.start({"vulpes"}));
    ASSERT_TRUE(simulator.start({"--community", "vulpes", "--contact", "Jo Bloggs"}));
    ASSERT_TRUE(service.install());
  }

  static bool toolAvailable(const std::string& program) {
    return runProgram({"sh", "-c", "command -v " + program}, 30s).exitCode == 0;
  }

  NetSnmpAgent snmpd;
  SimulatedAgent simulator;
  PollingServiceRun service;
};

TEST_F(PollhostAgainstAgents, ReportShowsTheSystemGroupEachAgentServes) {
  std::string netSnmp = snmpd.address();
  std::string simulated = "127.0.0.1:" + std::to_string(simulator.port());
  ASSERT_NE(service.console({"-a" + netSnmp}).output.find("OK\r\n"), std::string::npos);
  ASSERT_NE(service.console({"-a" + simulated}).output.find("OK\r\n"), std::string::npos);

  for (const auto& [address, port] : {std::pair{netSnmp, snmpd.port()}, std::pair{simulated, simulator.port()}}) {
    std::string report = service.waitForContacts(address, 1);
    ASSERT_FALSE(report.empty()) << address;
    EXPECT_EQ(reportLine(report, "Remote system name"), snmpget(port, "1.3.6.1.2.1.1.5.0")) << address;
    EXPECT_EQ(reportLine(report, "Remote system contact"), snmpget(port, "1.3.6.1.2.1.1.4.0")) << address;
    EXPECT_EQ(reportLine(report, "Remote system location"), snmpget(port, "1.3.6.1.2.1.1.6.0")) << address;
    EXPECT_EQ(reportLine(report, "Remote system descriptor"), snmpget(port, "1.3.6.1.2.1.1.1.0")) << address;
    std::string services = snmpget(port, "1.3.6.1.2.1.1.7.0");
    if (services.empty()) EXPECT_EQ(reportLine(report, "Remote system services"), "") << address;
    else EXPECT_EQ(reportLine(report, "Remote system services").rfind("(" + services + ") ", 0), 0u) << address;

    // The up time the service saw lies before the one read after it.
    std::string upTime = reportLine(report, "Remote system up time");
    size_t open = upTime.rfind('(');
    ASSERT_NE(open, std::string::npos) << report;
    long seen = std::atol(upTime.c_str() + open + 1);
    EXPECT_GT(seen, 0);
    EXPECT_LE(seen, std::atol(snmpget(port, "1.3.6.1.2.1.1.3.0").c_str()));

    EXPECT_GE(contactsIn(report), 1);
    EXPECT_NE(reportLine(report, "First contacted"), "Not contacted");
    EXPECT_NE(reportLine(report, "Last contacted"), "Not contacted");
  }
  EXPECT_EQ(reportLine(service.waitForContacts(simulated, 1), "Remote system contact"), "Jo Bloggs");

  // Later polls keep counting.
  EXPECT_FALSE(service.waitForContacts(netSnmp, 3).empty());
  std::string all = service.console({"-va"}).output;
  EXPECT_NE(all.find("Remote agent address: " + netSnmp), std::string::npos);
  EXPECT_NE(all.find("Remote agent address: " + simulated), std::string::npos);

  EXPECT_NE(service.console({"-r" + netSnmp}).output.find("OK\r\n"), std::string::npos);
  std::string left = service.console({"-v"}).output;
  EXPECT_EQ(left.find(netSnmp), std::string::npos);
  EXPECT_NE(left.find("Total descriptors count 1."), std::string::npos);

  pid_t pid = service.servicePid();
  EXPECT_NE(service.console({"-u"}).output.find("Devavo VOZO Ziraruv was uninstalled."), std::string::npos);
  EXPECT_TRUE(processGone(pid));
}

}  // namespace
