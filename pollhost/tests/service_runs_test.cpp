// The pollhost program whole: the service installed, polling the agent
// simulator, controlled over its pipe, removed; and the console's own
// behaviour around it.
#include "background_process.h"
#include "polling_service_run.h"
#include "simulated_agent.h"

#include "platform/errors.h"
#include "platform/pipes.h"
#include "platform/tick.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr char kBanner[] = "\r\nDevavo VOZO Ziraruv v1.0\r\nPart of the Orvane SNMP management suite.\r\n\r\n";
constexpr char kPipePath[] = "\\\\.\\pipe\\Devavo VOZO Ziraruv";

bool says(const ProgramRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

class ServiceRuns : public testing::Test {
 protected:
  PollingServiceRun service;
};

TEST_F(ServiceRuns, InstalledServicePollsItsAgentsUntilUninstalled) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--community", "vulpes", "--contact", "Jo Bloggs", "--location", "Rack 4"}));
  std::string address = "127.0.0.1:" + std::to_string(agent.port());

  ProgramRun installed = service.console({"-i"});
  EXPECT_EQ(installed.output, std::string(kBanner) + "Devavo VOZO Ziraruv was installed.\r\n"
                                                     "Devavo VOZO Ziraruv was started.\r\n");
  EXPECT_EQ(installed.exitCode, 0);
  ProgramRun again = service.console({"i"});
  EXPECT_TRUE(says(again, "Devavo VOZO Ziraruv has already been installed.\r\n"
                          "Devavo VOZO Ziraruv has already been started.\r\n"));
  pid_t pid = service.servicePid();
  ASSERT_GT(pid, 0);

  EXPECT_EQ(service.console({"-a" + address}).output, std::string(kBanner) + "OK\r\n\r\n\r\n");
  std::string report = service.waitForContacts(address, 2);
  ASSERT_FALSE(report.empty());
  EXPECT_NE(report.find("\r\nRemote system contact: Jo Bloggs"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\nRemote system location: Rack 4"), std::string::npos);
  EXPECT_NE(report.find("\r\nRemote agent polling interval: 1.0 seconds"), std::string::npos);
  EXPECT_EQ(report.find("First contacted: Not contacted"), std::string::npos);

  ProgramRun basic = service.console({"-v"});
  EXPECT_TRUE(says(basic, "Service up time (GMT): "));
  EXPECT_TRUE(says(basic, "Desc. index 0, agent: " + address + ", last contacted: "));
  EXPECT_FALSE(says(basic, "Not contacted"));
  EXPECT_TRUE(says(basic, "\r\nTotal descriptors count 1.\r\n"));
  ProgramRun all = service.console({"va"});
  EXPECT_TRUE(says(all, "\r\nDescriptor index: 0\r\nRemote agent address: " + address));
  EXPECT_FALSE(says(all, ">"));

  EXPECT_TRUE(says(service.console({"-r" + address}), "OK\r\n"));
  EXPECT_EQ(service.console({"-va"}).output, std::string(kBanner) + "\r\n\r\n");

  ProgramRun removed = service.console({"-u"});
  EXPECT_EQ(removed.output, std::string(kBanner) + "Devavo VOZO Ziraruv was stopped.\r\n"
                                                   "Devavo VOZO Ziraruv was uninstalled.\r\n");
  EXPECT_TRUE(processGone(pid));
  EXPECT_TRUE(says(service.console({"-u"}), "Devavo VOZO Ziraruv is not installed.\r\n"));
  EXPECT_EQ(service.console({"-v"}).output,
            std::string(kBanner) + "Opening pipe failed. The system cannot find the file specified.\r\n");
}

TEST_F(ServiceRuns, AnswersFromAnotherPortOrDuplicatedAreNotContacts) {
  SimulatedAgent honest, misdirected, repeating;
  ASSERT_TRUE(honest.start({"--community", "vulpes"}));
  ASSERT_TRUE(misdirected.start({"--community", "vulpes", "--reply-from-other-port"}));
  ASSERT_TRUE(repeating.start({"--community", "vulpes", "--duplicate"}));
  std::string honestAddress = "127.0.0.1:" + std::to_string(honest.port());
  std::string misdirectedAddress = "127.0.0.1:" + std::to_string(misdirected.port());
  std::string repeatingAddress = "127.0.0.1:" + std::to_string(repeating.port());
  ASSERT_TRUE(service.install());
  for (const std::string& address : {repeatingAddress, misdirectedAddress, honestAddress}) {
    ASSERT_TRUE(says(service.console({"-a" + address}), "OK\r\n"));
  }
  ASSERT_FALSE(service.waitForContacts(honestAddress, 3).empty());
  EXPECT_EQ(contactsIn(service.console({"-v" + misdirectedAddress}).output), 0);
  // Added first, so polled no later than the honest agent: at most one
  // contact per poll, however many copies of each answer arrive.
  std::string report = service.console({"-v" + repeatingAddress}).output;
  long polls = std::atol(report.c_str() + report.find("Last query request ID: ") + 23) - 2000;
  EXPECT_GE(contactsIn(report), 2);
  EXPECT_LE(contactsIn(report), polls);
}

TEST_F(ServiceRuns, UnknownAgentsAndAFullTableAreReported) {
  ASSERT_TRUE(service.install());
  EXPECT_EQ(service.console({"-r10.0.0.99"}).output, std::string(kBanner) + "Failed\r\n\r\n\r\n");
  EXPECT_EQ(service.console({"-v10.0.0.99"}).output, std::string(kBanner) + "Unknown descriptor.\r\n\r\n\r\n");
  EXPECT_TRUE(says(service.console({"-a10.0.0"}), "Failed. Invalid agent address.\r\n"));
  for (int i = 1; i <= 60; ++i) ASSERT_TRUE(says(service.console({"-a10.0.0." + std::to_string(i)}), "OK\r\n"));
  EXPECT_EQ(service.console({"-a10.0.0.61"}).output,
            std::string(kBanner) + "Failed. Maximum number of descriptors exceeded.\r\n\r\n");
  EXPECT_TRUE(says(service.console({"-v"}), "\r\nTotal descriptors count 60.\r\n"));
}

TEST_F(ServiceRuns, WithoutACommandTheProgramRunsAsTheServiceOnlyWhenTheManagerStartsIt) {
  ProgramRun notInstalled = service.console({});
  EXPECT_TRUE(says(notInstalled, "Usage: pollhost [command] [arguments]"));
  ASSERT_TRUE(service.install());
  ProgramRun running = service.console({});
  EXPECT_TRUE(says(running, "Usage: pollhost [command] [arguments]"));
  EXPECT_FALSE(says(running, "Starting service"));

  // Stopped behind the manager's back: installed and not running.
  pid_t pid = service.servicePid();
  ASSERT_GT(pid, 0);
  ::kill(pid, SIGTERM);
  uint64_t deadline = GetTickCount64() + 30000;
  while (!processGone(pid) && GetTickCount64() < deadline) Sleep(10);
  ProgramRun byHand = service.console({"-x"});
  EXPECT_EQ(byHand.output.rfind(std::string(kBanner) + "\r\nStarting service...Failed\r\n\r\n\r\nUsage: pollhost", 0), 0u)
      << byHand.output;
  EXPECT_EQ(byHand.exitCode, 0);
}

TEST_F(ServiceRuns, ServiceThatCannotListenOnItsPipeFailsToStart) {
  HANDLE squatter = CreateNamedPipe(kPipePath, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 1, 100, 100, 0, nullptr);
  ASSERT_NE(squatter, INVALID_HANDLE_VALUE);
  ProgramRun installed = service.console({"-i"});
  EXPECT_TRUE(says(installed, "Devavo VOZO Ziraruv failed to start. Access is denied.\r\n")) << installed.output;
  uint64_t deadline = GetTickCount64() + 30000;
  while (service.servicePid() && GetTickCount64() < deadline) Sleep(10);
  EXPECT_EQ(service.servicePid(), 0);  // the service's process ended
  CloseHandle(squatter);
  EXPECT_TRUE(says(service.console({"-i"}), "Devavo VOZO Ziraruv was started.\r\n"));
}

TEST_F(ServiceRuns, SilentClientIsDroppedByTheWatchdog) {
  ASSERT_TRUE(service.install());
  uint64_t connected = GetTickCount64();
  HANDLE pipe = CreateFile(kPipePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  char byte;
  DWORD got = 0;
  EXPECT_FALSE(ReadFile(pipe, &byte, 1, &got, nullptr));  // returns when the service drops us
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
  uint64_t waited = GetTickCount64() - connected;
  EXPECT_GE(waited, 14000u);
  EXPECT_LE(waited, 40000u);
  CloseHandle(pipe);
  EXPECT_TRUE(says(service.console({"-v"}), "Total descriptors count 0."));
}

// As systemd runs it (see pollhost.service): started directly, with no
// record of ours, and stopped by SIGTERM.
TEST_F(ServiceRuns, ServiceManagerOtherThanOursCanRunTheService) {
  BackgroundProcess byUnit;
  ASSERT_TRUE(byUnit.start({ORVANE_POLLHOST_PATH}, {"ORVANE_SERVICE_START=Devavo VOZO Ziraruv", "PATH=/usr/bin:/bin",
                                                    "ORVANE_SERVICE_OWNER_PID=" + std::to_string(getpid())}));
  uint64_t deadline = GetTickCount64() + 30000;
  while (!service.servicePid() && GetTickCount64() < deadline) Sleep(10);
  ASSERT_GT(service.servicePid(), 0);
  ProgramRun added = service.console({"-a10.0.0.7"});
  for (int tries = 0; !says(added, "OK\r\n") && tries < 100; ++tries) {
    Sleep(100);  // the pipe comes a moment after the pid file
    added = service.console({"-a10.0.0.7"});
  }
  EXPECT_TRUE(says(added, "OK\r\n")) << added.output;
  EXPECT_TRUE(says(service.console({"-v"}), "Total descriptors count 1."));
  EXPECT_TRUE(says(service.console({"-i"}), "has already been started."));
  int exitCode = -1;
  ::kill(service.servicePid(), SIGTERM);
  byUnit.finish(std::chrono::seconds(30), exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(service.servicePid(), 0);
}

// A stand-in for ssh that records how it was called.
class FakeSsh {
 public:
  explicit FakeSsh(int exitStatus) {
    folder_ = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/fake-ssh";
    mkdir(folder_.c_str(), 0700);
    std::ofstream script(folder_ + "/ssh");
    script << "#!/bin/sh\nfor word in \"$@\"; do printf '%s\\n' \"$word\"; done > " << folder_ << "/called\n"
           << "printf 'remote output\\r\\n'\nexit " << exitStatus << "\n";
    script.close();
    chmod((folder_ + "/ssh").c_str(), 0700);
  }
  std::string path() const { return "PATH=" + folder_ + ":/usr/bin:/bin"; }
  std::string called() const {
    std::ifstream file(folder_ + "/called");
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

 private:
  std::string folder_;
};

TEST_F(ServiceRuns, RemoteMachineRunsTheSameCommandThroughSsh) {
  FakeSsh ssh(0);
  ProgramRun remote = service.console({"-va", "machine_name"}, {ssh.path()});
  EXPECT_EQ(remote.output, "remote output\r\n");  // the banner is the other computer's
  EXPECT_EQ(ssh.called(), "--\nmachine_name\npollhost '-va'\n");

  FakeSsh failing(255);
  ProgramRun failed = service.console({"-a10.0.0.7", "elsewhere"}, {failing.path()});
  EXPECT_EQ(failed.output,
            "remote output\r\n\r\nRunning pollhost on elsewhere through ssh failed (exit status 255).\r\n");
  EXPECT_EQ(failed.exitCode, 0);
  EXPECT_EQ(failing.called(), "--\nelsewhere\npollhost '-a10.0.0.7'\n");
  // Install and uninstall never go elsewhere.
  EXPECT_TRUE(says(service.console({"-u", "elsewhere"}, {failing.path()}), "is not installed."));
}

}  // namespace
