// Starting and stopping programs for tests.
#include "background_process.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

BackgroundProcess::~BackgroundProcess() {
  if (child_ > 0) {
    ::kill(-child_, SIGKILL);
    ::waitpid(child_, nullptr, 0);
  }
  if (output_ >= 0) ::close(output_);
}

namespace {

// The program's path: `name` itself when it holds a slash, else the first
// executable of that name on the search path (empty when there is none).
std::string findProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  for (size_t begin = 0; begin <= folders.size();) {
    size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = (end > begin ? folders.substr(begin, end - begin) : ".") + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    begin = end + 1;
  }
  return "";
}

// Whether `entry` ("NAME=value") sets a variable that `environment` sets.
bool namedIn(const std::vector<std::string>& environment, const char* entry) {
  const char* equals = std::strchr(entry, '=');
  size_t length = equals ? static_cast<size_t>(equals - entry) : std::strlen(entry);
  for (const std::string& added : environment) {
    if (added.size() > length && added.compare(0, length, entry, length) == 0 && added[length] == '=') return true;
  }
  return false;
}

}  // namespace

// The child asks the kernel to kill it when the test that started it ends,
// however it ends (a failed assertion, a sanitizer abort, CTest's time-out),
// so no agent outlives its test. It leads a process group of its own, so
// that stopping it also stops what it started (a shell's pipeline). Between
// fork and exec it only makes async-signal-safe calls; everything else is
// prepared before the fork.
bool BackgroundProcess::start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
  if (child_ > 0 || arguments.empty()) return false;
  std::string program = findProgram(arguments[0]);
  int pipes[2];
  if (program.empty() || ::pipe2(pipes, O_CLOEXEC) != 0) return false;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** entry = environ; *entry; ++entry) {
    if (!namedIn(environment, *entry)) envp.push_back(*entry);
  }
  for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  pid_t parent = ::getpid();
  pid_t child = ::fork();
  if (child == 0) {
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) ::_exit(127);
    if (::setpgid(0, 0) != 0) ::_exit(127);
    if (::dup2(pipes[1], STDOUT_FILENO) < 0 || ::dup2(pipes[1], STDERR_FILENO) < 0) ::_exit(127);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(pipes[1]);
  if (child < 0) {
    ::close(pipes[0]);
    return false;
  }
  ::setpgid(child, child);  // also here, so the group exists before any signal to it
  child_ = child;
  output_ = pipes[0];
  return true;
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
  ::kill(-child_, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (::waitpid(child_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(-child_, SIGKILL);
      ::waitpid(child_, &status, 0);
      break;
    }
    readSome(std::chrono::milliseconds(20));
  }
  ::kill(-child_, SIGKILL);  // what the program left running in its group
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
      ::kill(-child_, SIGKILL);
      ::waitpid(child_, &status, 0);
      break;
    }
    readSome(std::chrono::milliseconds(20));
  }
  if (ended == child_ && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
  ::kill(-child_, SIGKILL);  // what the program left running in its group
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
