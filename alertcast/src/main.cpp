// alertcast: sends one SNMPv1 trap to one manager and ends.
#include "console_startup.h"
#include "local_address.h"
#include "mib_names.h"
#include "trap_contents.h"
#include "trap_sender.h"
#include "trap_settings.h"
#include "trap_texts.h"
#include "variable_format.h"

#include "platform/messages.h"
#include "platform/tick.h"
#include "platform/waits.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Time for the transport to write the trap before the library stops.
constexpr DWORD kWriteGrace = 500;

// Nothing is received: the notification message is only answered.
LRESULT CALLBACK notificationWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case alertcast::kNotificationMessage:
    case WM_CREATE:
    case WM_DESTROY: return 0;
    default: return DefWindowProc(window, message, wParam, lParam);
  }
}

// Hundredths of a second since the system started.
smiTIMETICKS upTime() { return static_cast<smiTIMETICKS>(GetTickCount64() / 10); }

// Everything after start-up; the exit code.
int run(HWND window, const alertcast::Settings& settings, const std::string& localAddress) {
  std::string problem;
  std::optional<alertcast::TrapContents> contents =
      alertcast::readTrapContents(settings, localAddress, upTime(), problem);
  if (!contents) {
    std::printf("%s%s", problem.c_str(), alertcast::usageText().c_str());
    return 0;
  }
  if (settings.printParameters) {
    const char* modules = std::getenv("ORVANE_MIB_MODULES");
    consoleformat::loadMibModules(modules ? modules : "");
    consoleformat::useMibNames();
    std::printf("%s", alertcast::parameterBlock(settings, *contents).c_str());
  }
  if (settings.managerAddress.empty()) return 0;
  std::printf("\n\nPinging %s with SNMP protocol", alertcast::managerText(settings).c_str());
  std::printf("\nCommunity: %s", settings.community.c_str());
  uint32_t error = 0;
  switch (alertcast::sendTrap(window, settings, *contents, error)) {
    case alertcast::SendOutcome::noSession: return 0;
    case alertcast::SendOutcome::refused: std::printf("\nUnhandled WinSNMP error %u.", error); return 0;
    case alertcast::SendOutcome::sent: break;
  }
  std::fflush(stdout);
  Sleep(kWriteGrace);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line reaches a pipe when it is whole
  std::printf("%s", alertcast::bannerText(ORVANE_VERSION).c_str());
  alertcast::Settings settings;
  std::string refusal;
  alertcast::ParseOutcome outcome = alertcast::parseCommandLine(argc, argv, settings, refusal);
  if (outcome != alertcast::ParseOutcome::run) {
    std::printf("%s%s", refusal.c_str(), alertcast::usageText().c_str());
    return 0;
  }
  HWND window = consoleformat::createNotificationWindow(notificationWindow);
  if (!window) return 0;
  consoleformat::startWinSnmp(settings.printVersion);
  int exitCode = run(window, settings, alertcast::localAddress());
  std::printf("\n");
  SnmpCleanup();
  consoleformat::destroyNotificationWindow(window);
  return exitCode;
}
