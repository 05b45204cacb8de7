// The banner, the usage text and the messages.
#include "console_texts.h"

#include "polling_service.h"

#include "platform/errors.h"

#include <cstdio>
#include <cstring>

namespace pollhost {

std::string bannerText() {
  return std::string("\r\n") + kServiceName + " v1.0\r\nPart of the Orvane SNMP management suite.\r\n\r\n";
}

std::string usageText() {
  static const char* const lines[] = {
      "Usage: pollhost [command] [arguments]\n\nCommand\tArgument\tDescription\n",
      "-a????\tRMN or none\tAdd agent IP address ???? to descriptor table\n",
      "-i\tNone\t\tInstall and start service\r\n",
      "-r????\tRMN or none\tRemove IP agent address ???? from descriptor table\r\n",
      "-u\tNone\t\tStop and uninstall service\r\n",
      "-v\tRMN or none\tView basic info\r\n",
      "-va\tRMN or none\tView All descriptors info\r\n",
      "-v????\tRMN or none\tView descriptor info for agent IP address ????\r\n",
      "\nRMN - Remote Machine Name\r\n",
      "\r\nExamples:\r\n",
      "pollhost -a10.0.0.7\t\tAdd agent 10.0.0.7 to this computer's service\r\n",
      "pollhost -a10.0.0.7 machine_name\tAdd agent 10.0.0.7 to the service on machine_name\r\n",
      "\r\n",
      "Use 'pollhost > file' or 'pollhost | more' when output is larger than screen.\r\n\r\n",
      // Additions of this build.
      "With RMN the same command runs on that computer through ssh, with your own\r\n",
      "ssh settings and keys; pollhost must be installed there (ORVANE_POLLHOST_REMOTE\r\n",
      "names the program to run instead). The pipe itself never leaves this computer.\r\n",
      "Agents on another UDP port: ip.ip.ip.ip:port [default port = 161].\r\n",
  };
  std::string text;
  for (const char* line : lines) text += line;
  return text;
}

std::string systemErrorText(DWORD error) {
  char text[512] = "";
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                nullptr);
  return text;
}

void printMessage(const char* pattern, DWORD error) {
  std::string reason = systemErrorText(error);
  std::printf(pattern, kServiceName, reason.c_str());
}

}  // namespace pollhost
