// Windows of this process that other processes can reach, and the carrier
// that takes messages to the published windows of other processes.
#pragma once

#include "platform/messages.h"

#include <string>

namespace platform::detail {

// The runtime folder's "windows" folder, made when missing; empty when
// there is none to be had.
std::string windowsFolder();
// Where a window's socket lives; its class and title are in the file of
// the same name with ".window" after it.
std::string socketPathOf(const std::string& folder, HWND window);

bool publishWindow(HWND window, const std::string& className, const std::string& title) noexcept;
// Ends a window's publication, if it has one: destroyed windows and the
// windows of threads that ended.
void withdrawWindow(HWND window) noexcept;
bool stillPublished(HWND window) noexcept;
// A published window of another process with this class and title (null:
// any), or null. Entries left by processes that died are removed.
HWND findPublishedWindow(LPCSTR className, LPCSTR title) noexcept;

// True while some process is bound to the window's socket.
bool windowSocketLive(HWND window) noexcept;

// Installed with the first carrier list, ahead of every other carrier.
WindowCarrier& processWindowCarrier();

}  // namespace platform::detail
