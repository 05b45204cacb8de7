// Messages to a person from a library. Console programs get them on
// stderr; a GUI program installs a hook that shows a real dialog.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
// Buttons (the low four bits), icon (the next four) and default button.
#  define MB_OK 0x00000000u
#  define MB_OKCANCEL 0x00000001u
#  define MB_YESNOCANCEL 0x00000003u
#  define MB_YESNO 0x00000004u
#  define MB_TYPEMASK 0x0000000Fu
#  define MB_ICONSTOP 0x00000010u
#  define MB_ICONERROR MB_ICONSTOP
#  define MB_ICONQUESTION 0x00000020u
#  define MB_ICONWARNING 0x00000030u
#  define MB_ICONEXCLAMATION MB_ICONWARNING
#  define MB_ICONINFORMATION 0x00000040u
#  define MB_ICONMASK 0x000000F0u
#  define MB_DEFBUTTON2 0x00000100u
#  define MB_DEFMASK 0x00000F00u
#  define IDOK 1
#  define IDCANCEL 2
#  define IDYES 6
#  define IDNO 7

// On stderr a box cannot be answered: it gives its default button's answer.

PLATFORM_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
#  define MessageBox MessageBoxA
#endif

namespace platform {

// Replaces how message boxes are shown (null restores stderr) and returns
// the hook it replaces. The hook returns the button pressed (IDOK for a
// plain notice).
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, unsigned type);
PLATFORM_API MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

// The built-in way, for hooks that cannot show a box at the moment.
PLATFORM_API int messageBoxOnStderr(const char* text, const char* caption, unsigned type);

}  // namespace platform
