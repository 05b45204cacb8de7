// The console programs' start-up frame.
#include "console_startup.h"

#include "variable_format.h"
#include "winsnmp.h"

#include "platform/sockets.h"

#include <cstdio>

namespace consoleformat {
namespace {

constexpr char kWindowClass[] = "Orvane_agentprobe_NOTIFICATION_CLASS";
constexpr char kWindowTitle[] = "Orvane WinSNMP Ping Notification Window C-1996";

}  // namespace

HWND createNotificationWindow(WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = kWindowClass;
  HWND window = nullptr;
  if (RegisterClass(&windowClass)) {
    window = CreateWindow(kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  }
  if (!window) {
    std::printf("\n\nCan not allocate a window handle.");
    std::printf("\nTerminating.");
  }
  return window;
}

void destroyNotificationWindow(HWND window) {
  DestroyWindow(window);
  UnregisterClass(kWindowClass, nullptr);
}

void startWinSnmp(bool printVersion) {
  WSADATA sockets{};
  if (WSAStartup(MAKEWORD(1, 1), &sockets) == 0 && sockets.wVersion != MAKEWORD(1, 1)) WSACleanup();
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  SnmpStartup(&major, &minor, &level, &translate, &retransmit);
  if (printVersion) std::printf("%s", versionBlock(major, minor, level, translate, retransmit).c_str());
}

}  // namespace consoleformat
