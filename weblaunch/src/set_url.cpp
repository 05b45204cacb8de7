// setURL: the maker's page in the browser the registry names, else in the
// desktop's default browser, else the address in a warning box.
#include "weblaunch.h"

#include "browser_command.h"
#include "page_address.h"

#include "platform/message_box.h"
#include "platform/processes.h"

#include <string>

namespace {

// The program that opens an address in the desktop's preferred browser.
constexpr char kDesktopOpener[] = "xdg-open";

bool start(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  CloseHandle(started.hProcess);
  return true;
}

bool startAssociatedBrowser(const std::string& address) {
  std::optional<std::string> openCommand = weblaunch::htmlOpenCommand();
  return openCommand && start(weblaunch::commandOpening(*openCommand, address));
}

bool startDesktopBrowser(const std::string& address) {
  return start(std::string(kDesktopOpener) + " \"" + address + "\"");
}

}  // namespace

extern "C" BOOL WINAPI setURL(unsigned code) {
  std::string address = weblaunch::pageAddress(code);
  if (startAssociatedBrowser(address) || startDesktopBrowser(address)) return TRUE;
  std::string text = "Windows can't locate the default WEB browser!\nPlease visit the URL " + address;
  MessageBoxA(nullptr, text.c_str(), "Warning from weblaunch.dll", MB_OK | MB_ICONWARNING);
  return FALSE;
}
