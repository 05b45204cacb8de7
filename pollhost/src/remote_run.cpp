// Running a console command on another computer.
#include "remote_run.h"

#include "console_texts.h"

#include "platform/processes.h"
#include "platform/waits.h"

#include <cstdio>
#include <cstdlib>

namespace pollhost {
namespace {

// One word for a POSIX shell: in single quotes, each quote in it closed,
// escaped and reopened.
std::string quotedForShell(const std::string& word) {
  std::string quoted = "'";
  for (char character : word) {
    if (character == '\'') quoted += "'\\''";
    else quoted += character;
  }
  return quoted + "'";
}

}  // namespace

std::vector<std::string> remoteCommandLine(const std::string& machine, const std::string& argument) {
  const char* program = std::getenv("ORVANE_POLLHOST_REMOTE");
  std::string remote = program && *program ? program : "pollhost";
  return {"ssh", "--", machine, remote + " " + quotedForShell(argument)};
}

std::string commandLineOf(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) {
      line += word;
      continue;
    }
    // Backslashes count only before a quote: 2n+1 of them give n and the
    // quote itself, 2n before the closing quote give n.
    line += '"';
    size_t backslashes = 0;
    for (char character : word) {
      if (character == '\\') {
        ++backslashes;
        continue;
      }
      line.append(character == '"' ? 2 * backslashes + 1 : backslashes, '\\');
      line += character;
      backslashes = 0;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
  }
  return line;
}

void runRemotely(const std::string& machine, const std::string& argument) {
  std::fflush(stdout);
  std::string line = commandLineOf(remoteCommandLine(machine, argument));
  STARTUPINFO startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("%sCould not run ssh.\r\n", bannerText().c_str());
    return;
  }
  DWORD status = 0;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  if (status != 0) {
    std::printf("\r\nRunning pollhost on %s through ssh failed (exit status %u).\r\n", machine.c_str(), status);
  }
}

}  // namespace pollhost
