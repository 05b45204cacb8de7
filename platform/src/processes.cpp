// Starting programs with posix_spawn, and a handle per child that a
// collector thread signals when the child ends.
#include "platform/processes.h"

#include "command_line_words.h"
#include "handles.h"
#include "signal_flag.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace platform::detail {
namespace {

class ChildProcess final : public Waitable {
 public:
  bool valid() const noexcept { return ended_.valid(); }
  int descriptor() const noexcept override { return ended_.descriptor(); }
  bool acquire() noexcept override { return ended_.isSet(); }
  DWORD exitCode() const noexcept { return exitCode_.load(); }
  void finish(DWORD code) noexcept {
    exitCode_.store(code);
    ended_.set();
  }

 private:
  SignalFlag ended_;
  std::atomic<DWORD> exitCode_{STILL_ACTIVE};
};

DWORD exitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<DWORD>(WTERMSIG(status));
  return 1;
}

// Waits for the child's end on a thread of its own, whatever becomes of
// the handle.
void collectEnd(pid_t child, std::shared_ptr<ChildProcess> process) {
  std::thread([child, process = std::move(process)] {
    int status = 0;
    pid_t ended;
    do {
      ended = waitpid(child, &status, 0);
    } while (ended < 0 && errno == EINTR);
    process->finish(ended == child ? exitCodeOf(status) : 1);
  }).detach();
}

std::vector<char*> environmentOf(LPVOID block) {
  std::vector<char*> entries;
  if (!block) {
    for (char** entry = environ; *entry; ++entry) entries.push_back(*entry);
  } else {
    for (char* entry = static_cast<char*>(block); *entry; entry += std::char_traits<char>::length(entry) + 1)
      entries.push_back(entry);
  }
  entries.push_back(nullptr);
  return entries;
}

class SpawnSetup {
 public:
  explicit SpawnSetup(bool detached) {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // A fresh program starts with no blocked signals and default handlers.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (detached) {
      flags |= POSIX_SPAWN_SETSID;
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_setflags(&attributes, flags);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA,
                    LPPROCESS_INFORMATION processInformation) {
  try {
    std::vector<std::string> words = splitCommandLine(commandLine ? commandLine : "");
    if (words.empty() && applicationName) words.push_back(applicationName);
    if (words.empty() || words.front().empty()) return FALSE;
    std::vector<char*> arguments;
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);
    std::vector<char*> variables = environmentOf(environment);

    auto process = std::make_shared<ChildProcess>();
    if (!process->valid()) return FALSE;
    SpawnSetup setup((creationFlags & DETACHED_PROCESS) != 0);
    if (!inheritHandles) posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
    if (currentDirectory && *currentDirectory) posix_spawn_file_actions_addchdir_np(&setup.actions, currentDirectory);
    pid_t child = 0;
    int failed = applicationName
                     ? posix_spawn(&child, applicationName, &setup.actions, &setup.attributes, arguments.data(),
                                   variables.data())
                     : posix_spawnp(&child, arguments.front(), &setup.actions, &setup.attributes, arguments.data(),
                                    variables.data());
    if (failed) return FALSE;
    collectEnd(child, process);
    HANDLE handle = addHandle(process);
    if (processInformation) {
      *processInformation = PROCESS_INFORMATION{handle, nullptr, static_cast<DWORD>(child), 0};
    } else if (handle) {
      CloseHandle(handle);
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

BOOL GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
  auto process = findHandleOf<ChildProcess>(handle);
  if (!process || !exitCode) return FALSE;
  *exitCode = process->exitCode();
  return TRUE;
}
