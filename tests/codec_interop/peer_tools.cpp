#include "peer_tools.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace {

// Reads the child's output until it closes the pipe or the deadline
// passes.
void readUntilClosed(int pipe, std::string& output, std::chrono::steady_clock::time_point deadline) {
  char buffer[4096];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd waiting{pipe, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(left.count())) != 1) return;
    ssize_t count = ::read(pipe, buffer, sizeof buffer);
    if (count <= 0) return;
    output.append(buffer, static_cast<size_t>(count));
  }
}

}  // namespace

ToolRun runTool(const std::vector<std::string>& arguments, int timeoutSeconds) {
  ToolRun run;
  int pipes[2];
  if (arguments.empty() || ::pipe(pipes) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipes[0]);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  run.started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipes[1]);
  if (run.started) {
    readUntilClosed(pipes[0], run.output, std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds));
    ::kill(child, SIGKILL);  // harmless once it has ended by itself
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(pipes[0]);
  return run;
}

bool toolAvailable(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}
