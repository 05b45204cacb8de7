// The console's fixed texts and messages.
#pragma once

#include "platform/win32_types.h"

#include <string>

namespace pollhost {

// Printed first by every run.
std::string bannerText();
std::string usageText();
// The system's text for an error code, one sentence.
std::string systemErrorText(DWORD error);
// Writes a message made from `pattern` with the service name (and, where
// the pattern has a second %s, the text of `error`).
void printMessage(const char* pattern, DWORD error = 0);

}  // namespace pollhost
