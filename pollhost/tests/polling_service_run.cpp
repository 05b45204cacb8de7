// Running the polling service for a test.
#include "polling_service_run.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kConsolePatience = std::chrono::seconds(60);

std::string pidFile() {
  return std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/service-Devavo VOZO Ziraruv.pid";
}

}  // namespace

bool processGone(pid_t process) {
  if (::kill(process, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
  std::string text;
  std::getline(stat, text);
  size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

long contactsIn(const std::string& report) {
  size_t at = report.find("Succesfull contacts: ");
  return at == std::string::npos ? -1 : std::atol(report.c_str() + at + 21);
}

// The search path leaves out the build's programs, so that the trap
// registration finds no trap server to start.
PollingServiceRun::PollingServiceRun(unsigned pollingInterval, unsigned pollStep)
    : environment_{"ORVANE_POLLHOST_INTERVAL=" + std::to_string(pollingInterval),
                   "ORVANE_POLLHOST_STEP=" + std::to_string(pollStep),
                   "ORVANE_SERVICE_OWNER_PID=" + std::to_string(::getpid()), "PATH=/usr/bin:/bin"} {}

PollingServiceRun::~PollingServiceRun() {
  console({"-u"});
  pid_t left = servicePid();
  if (left) {
    ::kill(left, SIGKILL);
    for (int i = 0; i < 1000 && !processGone(left); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

ProgramRun PollingServiceRun::console(const std::vector<std::string>& arguments,
                                      const std::vector<std::string>& environment) {
  std::vector<std::string> command{ORVANE_POLLHOST_PATH};
  command.insert(command.end(), arguments.begin(), arguments.end());
  // The caller's entries win over the run's own.
  std::vector<std::string> variables = environment;
  for (const std::string& entry : environment_) {
    std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const std::string& given : environment) replaced = replaced || given.rfind(name, 0) == 0;
    if (!replaced) variables.push_back(entry);
  }
  return runProgram(command, kConsolePatience, variables);
}

bool PollingServiceRun::install() {
  return console({"-i"}).output.find("Devavo VOZO Ziraruv was started.") != std::string::npos;
}

std::string PollingServiceRun::waitForContacts(const std::string& address, unsigned contacts,
                                               std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string report = console({"-v" + address}).output;
    if (contactsIn(report) >= static_cast<long>(contacts)) return report;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

pid_t PollingServiceRun::servicePid() const {
  std::ifstream file(pidFile());
  long pid = 0;
  if (!(file >> pid) || pid <= 0 || processGone(static_cast<pid_t>(pid))) return 0;
  return static_cast<pid_t>(pid);
}
