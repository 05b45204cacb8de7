// Messages to a person from a library. Console programs get them on
// stderr; a GUI program installs a hook that shows a real dialog.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
#  define MB_OK 0x00000000u
#  define MB_ICONSTOP 0x00000010u
#  define MB_ICONERROR MB_ICONSTOP
#  define MB_ICONWARNING 0x00000030u
#  define MB_ICONINFORMATION 0x00000040u
#  define IDOK 1

PLATFORM_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
#  define MessageBox MessageBoxA
#endif

namespace platform {

// Replaces how message boxes are shown (null restores stderr). The hook
// returns the button pressed (IDOK for a plain notice).
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, unsigned type);
PLATFORM_API MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

}  // namespace platform
