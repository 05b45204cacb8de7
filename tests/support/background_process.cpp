// Starting and stopping programs for tests.
#include "background_process.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

BackgroundProcess::~BackgroundProcess() {
  if (child_ > 0) {
    ::kill(child_, SIGKILL);
    ::waitpid(child_, nullptr, 0);
  }
  if (output_ >= 0) ::close(output_);
}

bool BackgroundProcess::start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
  int pipes[2];
  if (child_ > 0 || arguments.empty() || ::pipe2(pipes, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** entry = environ; *entry; ++entry) envp.push_back(*entry);
  for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  bool started = posix_spawnp(&child_, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipes[1]);
  output_ = pipes[0];
  if (!started) child_ = -1;
  return started;
}

bool BackgroundProcess::readSome(std::chrono::milliseconds timeout) {
  pollfd waiting{output_, POLLIN, 0};
  if (output_ < 0 || ::poll(&waiting, 1, static_cast<int>(timeout.count())) != 1) return false;
  char buffer[4096];
  ssize_t count = ::read(output_, buffer, sizeof buffer);
  if (count <= 0) return false;
  printed_.append(buffer, static_cast<size_t>(count));
  return true;
}

std::string BackgroundProcess::waitForLine(const std::string& text, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    size_t end;
    while ((end = printed_.find('\n', scanned_)) != std::string::npos) {
      std::string line = printed_.substr(scanned_, end - scanned_);
      scanned_ = end + 1;
      if (line.find(text) != std::string::npos) return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !readSome(left)) return "";
  }
}

std::string BackgroundProcess::stop(std::chrono::milliseconds timeout) {
  if (child_ <= 0) return printed_;
  ::kill(child_, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (::waitpid(child_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, &status, 0);
      break;
    }
    readSome(std::chrono::milliseconds(20));
  }
  child_ = -1;
  while (readSome(std::chrono::milliseconds(0))) {
  }
  return printed_;
}

std::string BackgroundProcess::finish(std::chrono::milliseconds timeout, int& exitCode) {
  exitCode = -1;
  if (child_ <= 0) return printed_;
  auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(child_, &status, WNOHANG)) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, &status, 0);
      break;
    }
    readSome(std::chrono::milliseconds(20));
  }
  if (ended == child_ && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
  child_ = -1;
  while (readSome(std::chrono::milliseconds(0))) {
  }
  return printed_;
}

ProgramRun runProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout,
                      const std::vector<std::string>& environment) {
  BackgroundProcess program;
  ProgramRun run;
  if (program.start(arguments, environment)) run.output = program.finish(timeout, run.exitCode);
  return run;
}
