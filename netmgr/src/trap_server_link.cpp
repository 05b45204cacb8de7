// Joining and leaving the trap server.
#include "trap_server_link.h"

#include "debug_output.h"
#include "winsnmp.h"

#include "notifyd/trap_server.h"
#include "platform/process_windows.h"
#include "platform/processes.h"
#include "platform/waits.h"

#include <atomic>
#include <string>

namespace netmgr {
namespace {

constexpr int kLooksAfterStart = 501;
constexpr uint32_t kPauseBetweenLooks = 100;
// A server that does not answer the registration within this time is
// taken as not there.
constexpr UINT kRegistrationTimeout = 30000;

std::atomic<int> looksAfterStart{kLooksAfterStart};
std::atomic<uint32_t> pauseBetweenLooks{kPauseBetweenLooks};

HWND findServer() { return FindWindow(trapserver::kServerClass, trapserver::kServerTitle); }

// Starts the program, detached (it outlives this process, and a ^C in
// our terminal does not reach it), and waits for its window. A program
// that cannot be started at all has no window to wait for.
HWND startServer() {
  std::string commandLine = trapserver::kServerProgram;
  PROCESS_INFORMATION started{};
  if (!CreateProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, nullptr,
                     &started)) {
    debugLine("the trap server program %s cannot be started (is it on the search path?)", trapserver::kServerProgram);
    return nullptr;
  }
  debugLine("started the trap server program %s; waiting for its window", trapserver::kServerProgram);
  HWND server = nullptr;
  for (int look = 0; look < looksAfterStart.load() && !server; ++look) {
    // A server that ended (it could not take the trap port, say) opens no
    // window: stop looking rather than keep the caller waiting.
    bool ended = WaitForSingleObject(started.hProcess, pauseBetweenLooks.load()) == WAIT_OBJECT_0;
    server = findServer();
    if (ended && !server) {
      debugLine("the trap server program ended without opening its window");
      break;
    }
  }
  CloseHandle(started.hProcess);
  if (!server) debugLine("the trap server's window did not appear");
  return server;
}

}  // namespace

uint32_t joinTrapServer(HWND receiver, TrapServerLink& link) {
  link.message = RegisterWindowMessage(trapserver::kInterApplicationMessage);
  link.server = findServer();
  if (!link.server) link.server = startServer();
  DWORD_PTR identifier = 0;
  if (!link.server || !SendMessageTimeout(link.server, link.message, trapserver::kRegister,
                                          reinterpret_cast<LPARAM>(receiver), SMTO_NORMAL, kRegistrationTimeout,
                                          &identifier) ||
      identifier == 0) {
    link = {};
    return SNMPAPI_TL_NOT_AVAILABLE;
  }
  link.registration = static_cast<LRESULT>(identifier);
  debugLine("registered with the trap server as %ld", static_cast<long>(link.registration));
  return 0;
}

void leaveTrapServer(TrapServerLink& link) {
  if (link.server) PostMessage(link.server, link.message, trapserver::kUnregister, link.registration);
  link = {};
}

void setTrapServerSearch(int looks, uint32_t pauseMilliseconds) {
  looksAfterStart.store(looks ? looks : kLooksAfterStart);
  pauseBetweenLooks.store(pauseMilliseconds ? pauseMilliseconds : kPauseBetweenLooks);
}

}  // namespace netmgr
