// weblaunch: shows a page of the maker's web site in the user's browser.
#pragma once

#include "platform/win32_types.h"

#if defined(_WIN32)
#  if defined(WEBLAUNCH_BUILD)
#    define WEBLAUNCH_API __declspec(dllexport)
#  else
#    define WEBLAUNCH_API __declspec(dllimport)
#  endif
#else
#  define WEBLAUNCH_API __attribute__((visibility("default")))
#endif

// Page codes the programs' help menus use; every other code up to 16
// names a page of its own, and 0 or any code above 16 the home page.
#define WEBLAUNCH_HOME_PAGE 0u
#define WEBLAUNCH_MIB_COMPILER_PAGE 2u
#define WEBLAUNCH_MIB_BROWSER_PAGE 3u
#define WEBLAUNCH_SUPPORT_PAGE 15u

extern "C" {

// Starts the browser with the page's address: the program the registry's
// ".html" file type opens with, else the desktop's default browser. When
// neither can be started, a warning box gives the address to visit by
// hand and the result is 0; nonzero once a browser process was started.
WEBLAUNCH_API BOOL WINAPI setURL(unsigned code);

}
