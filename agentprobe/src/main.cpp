// agentprobe: talks SNMP to one agent and prints what it says.
#include "exchange.h"
#include "mib_names.h"
#include "oid_choice.h"
#include "probe_settings.h"
#include "probe_texts.h"
#include "variable_format.h"

#include "platform/messages.h"
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netdb.h>

namespace {

constexpr char kWindowClass[] = "Orvane_agentprobe_NOTIFICATION_CLASS";
constexpr char kWindowTitle[] = "Orvane WinSNMP Ping Notification Window C-1996";

agentprobe::Exchange* activeExchange = nullptr;

LRESULT CALLBACK notificationWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case agentprobe::kNotificationMessage:
      if (activeExchange) activeExchange->answerArrived();
      return 0;
    case WM_CREATE:
    case WM_DESTROY:
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

HWND createNotificationWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = notificationWindow;
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClass(&windowClass)) return nullptr;
  return CreateWindow(kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
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

// The name forms of the -s and -e OIDs for the parameter block.
std::string nameOf(const std::string& text) {
  std::optional<agentprobe::Oid> oid = text.empty() ? std::nullopt : agentprobe::readOid(text);
  if (!oid) return "";
  smiOID view{static_cast<smiUINT32>(oid->size()), oid->data()};
  return consoleformat::namedOid(view);
}

// Runs the message loop until the exchange posts its end message. What
// was printed goes out before each wait, so a pipe or a terminal sees every
// line as soon as it is whole, also when the probe is interrupted.
void runMessageLoop() {
  MSG message;
  while (std::fflush(stdout), GetMessage(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == agentprobe::kEndMessage) break;
    DispatchMessage(&message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("%s", agentprobe::bannerText(ORVANE_VERSION).c_str());
  agentprobe::Settings settings;
  if (agentprobe::parseCommandLine(argc, argv, settings) == agentprobe::ParseOutcome::usage) {
    std::printf("%s", agentprobe::usageText().c_str());
    return 0;
  }
  HWND window = createNotificationWindow();
  if (!window) {
    std::printf("\n\nCan not allocate a window handle.");
    std::printf("\nTerminating.");
    return 0;
  }
  WSADATA sockets{};
  if (WSAStartup(MAKEWORD(1, 1), &sockets) == 0 && sockets.wVersion != MAKEWORD(1, 1)) WSACleanup();

  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  SnmpStartup(&major, &minor, &level, &translate, &retransmit);
  if (settings.printVersion) std::printf("%s", consoleformat::versionBlock(major, minor, level, translate, retransmit).c_str());
  if (settings.resolveOidNames) {
    const char* modules = std::getenv("ORVANE_MIB_MODULES");
    consoleformat::loadMibNames(modules ? modules : "");
  }
  if (settings.printParameters) {
    std::printf("%s", agentprobe::parameterBlock(settings, nameOf(settings.startOid), nameOf(settings.endOid)).c_str());
  }

  int exitCode = 0;
  if (!settings.agentAddress.empty()) {
    printAgentGreeting(settings);
    agentprobe::Exchange exchange(settings);
    activeExchange = &exchange;
    if (exchange.open(window)) {
      exitCode = 1;
      runMessageLoop();
    }
    activeExchange = nullptr;
  }
  std::printf("\n");
  SnmpCleanup();
  DestroyWindow(window);
  UnregisterClass(kWindowClass, nullptr);
  return exitCode;
}
