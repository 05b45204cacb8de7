// The polling service as tests and benchmarks run it: installed and
// started with the real program in the test's own runtime and registry
// folders, polling fast, and never left running: it is uninstalled at the
// end, killed if it will not stop, and stops by itself when the test
// program ends first.
#pragma once

#include "background_process.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class PollingServiceRun {
 public:
  // `pollingInterval` and `pollStep` in milliseconds.
  explicit PollingServiceRun(unsigned pollingInterval = 1000, unsigned pollStep = 100);
  ~PollingServiceRun();
  PollingServiceRun(const PollingServiceRun&) = delete;
  PollingServiceRun& operator=(const PollingServiceRun&) = delete;

  // Runs pollhost with the arguments (and `environment` besides the run's).
  ProgramRun console(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
  // "pollhost -i"; true when it said the service was started.
  bool install();
  // Waits until the report of the agent ("pollhost -v<address>") counts
  // at least `contacts` successful contacts; that report, or empty.
  std::string waitForContacts(const std::string& address, unsigned contacts,
                              std::chrono::milliseconds timeout = std::chrono::seconds(60));
  // The process that runs the service, or 0.
  pid_t servicePid() const;

 private:
  std::vector<std::string> environment_;
};

// True once the process has ended (also while it waits to be reaped).
bool processGone(pid_t process);
// The number after "Succesfull contacts: " in a report, or -1.
long contactsIn(const std::string& report);
