// The polling service as the service manager runs it: its main, which
// starts the threads and waits for the stop event, and its control
// handler.
#pragma once

#include "platform/win32_types.h"

namespace pollhost {

constexpr char kServiceName[] = "Devavo VOZO Ziraruv";

void WINAPI serviceMain(DWORD argumentCount, LPSTR* arguments);
void WINAPI controlHandler(DWORD control);

}  // namespace pollhost
