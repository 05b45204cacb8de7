// Starting programs. A detached one: a first child makes a new session and
// starts the program in a second child, then ends at once, so the program
// belongs to the system and not to the caller. Whether the program could
// be executed comes back on a pipe that closes on exec. A program run to
// its end is an ordinary child that shares the caller's streams.
#include "platform/processes.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

// Only calls that are safe in the child of a threaded process.
[[noreturn]] void runProgram(char* const* argv, int status) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD}) signal(number, SIG_DFL);
  int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) close(null);
  }
  execvp(argv[0], argv);
  int error = errno;
  [[maybe_unused]] ssize_t written = write(status, &error, sizeof error);
  _exit(127);
}

}  // namespace

BOOL startProgram(const std::vector<std::string>& commandLine) {
  if (commandLine.empty() || commandLine[0].empty()) return FALSE;
  std::vector<char*> argv;
  try {
    for (const std::string& argument : commandLine) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
  } catch (...) {
    return FALSE;
  }
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return FALSE;
  pid_t first = fork();
  if (first == 0) {
    close(status[0]);
    setsid();
    pid_t program = fork();
    if (program == 0) runProgram(argv.data(), status[1]);
    _exit(program < 0 ? 1 : 0);
  }
  close(status[1]);
  int firstStatus = 0;
  while (first > 0 && waitpid(first, &firstStatus, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t received;
  while ((received = read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(status[0]);
  bool started = first > 0 && WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0 && received == 0;
  return started ? TRUE : FALSE;
}

int runProgramToEnd(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    errno = EINVAL;
    return -1;
  }
  std::vector<char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  pid_t child = 0;
  int error = ::posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ);
  if (error != 0) {
    errno = error;
    return -1;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (!WIFEXITED(status)) {
    errno = EINTR;
    return -1;
  }
  return WEXITSTATUS(status);
}

std::string programFile() {
  char path[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace platform
