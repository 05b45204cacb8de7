// A program the tests start, talk to through its output, and stop: the
// agent simulator and net-snmp's agent.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class BackgroundProcess {
 public:
  BackgroundProcess() = default;
  ~BackgroundProcess();  // kills the program and its process group if it still runs
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // Starts the program (found on the search path unless the name holds a
  // slash) with standard output and error on one pipe. `environment` adds
  // NAME=value entries to the test's own, replacing those of the same
  // name. The program is killed when the thread that started it ends, so
  // start programs from the test's thread.
  bool start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
  // Reads output until a line containing `text` arrives; that line, or an
  // empty string when the program ended or the time ran out first.
  std::string waitForLine(const std::string& text, std::chrono::milliseconds timeout);
  // Asks the program and what it started to stop (SIGTERM to its process
  // group), waits for it (killing the group after `timeout`), and returns
  // everything it printed.
  std::string stop(std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Waits for the program to end by itself (killing it after `timeout`),
  // ends what it left running in its process group, and returns everything
  // it printed; `exitCode` gets its exit status,
  // or -1 when it did not exit normally.
  std::string finish(std::chrono::milliseconds timeout, int& exitCode);
  bool running() const { return child_ > 0; }

 private:
  bool readSome(std::chrono::milliseconds timeout);

  pid_t child_ = -1;
  int output_ = -1;
  std::string printed_;
  size_t scanned_ = 0;
};

// What a program printed and how it ended, for programs run to their end.
struct ProgramRun {
  std::string output;
  int exitCode = -1;  // -1 when it could not start or did not exit normally
};

// Runs a program to its end (killing it after `timeout`).
ProgramRun runProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout,
                      const std::vector<std::string>& environment = {});
