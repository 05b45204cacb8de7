// agentprobe: talks SNMP to one agent and prints what it says.
#include "console_startup.h"
#include "exchange.h"
#include "mib_names.h"
#include "oid_choice.h"
#include "option_values.h"
#include "probe_settings.h"
#include "probe_texts.h"
#include "variable_format.h"

#include "platform/console_interrupt.h"
#include "platform/messages.h"
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netdb.h>

namespace {

agentprobe::Exchange* activeExchange = nullptr;

LRESULT CALLBACK notificationWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case agentprobe::kNotificationMessage:
      if (activeExchange) activeExchange->answerArrived();
      return 0;
    case WM_TIMER:
      if (activeExchange && wParam == agentprobe::kAnswerDeadlineTimer) activeExchange->deadlinePassed();
      return 0;
    case WM_CREATE:
    case WM_DESTROY:
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

void printAgentGreeting(const agentprobe::Settings& settings) {
  std::string shown = settings.agentAddress;
  if (settings.agentPort != 161) shown += ":" + std::to_string(settings.agentPort);
  char host[NI_MAXHOST] = {};
  sockaddr_in address{};
  address.sin_family = AF_INET;
  inet_pton(AF_INET, settings.agentAddress.c_str(), &address.sin_addr);
  if (settings.resolveAgentName && getnameinfo(reinterpret_cast<sockaddr*>(&address), sizeof address, host,
                                               sizeof host, nullptr, 0, NI_NAMEREQD) == 0) {
    std::printf("\n\nPinging %s [%s] with SNMP protocol", host, shown.c_str());
  } else {
    std::printf("\n\nPinging %s with SNMP protocol", shown.c_str());
  }
  std::printf("\nCommunity: %s", settings.community.c_str());
}

// The name form of an -s or -e OID for the parameter block.
std::string nameOf(const std::optional<agentprobe::Oid>& oid) {
  if (!oid) return "";
  smiOID view{static_cast<smiUINT32>(oid->size()), const_cast<smiUINT32*>(oid->data())};
  return consoleformat::namedOid(view);
}

// Runs the message loop until the exchange posts its end message. Output
// is buffered as the C library does (by line on a terminal, in blocks
// into a pipe or a file); a ping run flushes its line before each pause.
void runMessageLoop() {
  MSG message;
  while (GetMessage(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == agentprobe::kEndMessage) break;
    DispatchMessage(&message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A walk into a pipe is buffered in blocks; an interrupted one still
  // hands over every line it printed.
  platform::flushOutputWhenInterrupted();
  std::printf("%s", agentprobe::bannerText(ORVANE_VERSION).c_str());
  agentprobe::Settings settings;
  std::string refusal;
  agentprobe::ParseOutcome outcome = agentprobe::parseCommandLine(argc, argv, settings, refusal);
  if (outcome != agentprobe::ParseOutcome::run) {
    std::printf("%s%s", refusal.c_str(), agentprobe::usageText().c_str());
    return 0;
  }
  HWND window = consoleformat::createNotificationWindow(notificationWindow);
  if (!window) return 0;
  consoleformat::startWinSnmp(settings.printVersion);
  // Names print the output unless -o is given, and -s and -e may be names.
  if (settings.resolveOidNames || !settings.startOid.empty() || !settings.endOid.empty()) {
    const char* modules = std::getenv("ORVANE_MIB_MODULES");
    consoleformat::loadMibModules(modules ? modules : "");
  }
  if (settings.resolveOidNames) consoleformat::useMibNames();

  int exitCode = 0;
  std::string problem;
  std::optional<agentprobe::OptionValues> values = agentprobe::readOptionValues(settings, consoleformat::oidOfNodeName, problem);
  if (!values) {
    std::printf("%s%s", problem.c_str(), agentprobe::usageText().c_str());
  } else {
    if (settings.printParameters) {
      std::printf("%s", agentprobe::parameterBlock(settings, nameOf(values->start), nameOf(values->end)).c_str());
    }
    if (!settings.agentAddress.empty()) {
      printAgentGreeting(settings);
      agentprobe::Exchange exchange(settings, agentprobe::chooseOids(settings, values->start, values->end),
                                    std::move(values->setValue));
      activeExchange = &exchange;
      if (exchange.open(window)) {
        runMessageLoop();
        exitCode = exchange.exitCode();
      }
      activeExchange = nullptr;
    }
    std::printf("\n");
  }
  SnmpCleanup();
  consoleformat::destroyNotificationWindow(window);
  return exitCode;
}
