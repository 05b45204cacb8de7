// Windows across processes. A window its process publishes can be found by
// class and title from the user's other processes (FindWindow), and what
// they post or send to it arrives in its thread's queue as from a thread
// of its own process: SendMessage waits for the answer, and WM_COPYDATA
// carries its data block along (other messages carry their parameters as
// plain numbers). A handle names the same window in every process.
//
// POSIX: each published window is a Unix datagram socket in the "windows"
// folder of the runtime folder (see runtime_folder.h), beside a file that
// holds its class and title. The folder is the user's alone, so no other
// user can find, register with or post into these windows. A message sent
// to another process travels with one end of a socket pair for its answer;
// when the receiving process ends, that end closes, and the send fails at
// once instead of waiting for ever. Posting and sending to a window whose
// process died fail; FindWindow removes what such a process left behind.
#pragma once

#include "platform/export.h"
#include "platform/messages.h"

#if !defined(_WIN32)
// A window of this process, or a published window of another, whose class
// and title match (null matches any; both compared without case).
PLATFORM_API HWND FindWindowA(LPCSTR className, LPCSTR windowName);
#  define FindWindow FindWindowA
#endif

namespace platform {

// Makes a window of this process reachable from other processes until it
// is destroyed or its thread ends. FALSE when the window is not one of
// this process's, or the runtime folder cannot be had. Windows: every
// top-level window is reachable already.
PLATFORM_API BOOL publishWindow(HWND window);
// TRUE while the window is published and its entry in the runtime folder
// is still the one made for it: FALSE once that entry was removed or
// replaced (no other process can find the window any more).
PLATFORM_API BOOL windowStillPublished(HWND window);

}  // namespace platform
