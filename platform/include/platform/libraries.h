// Loading shared libraries at run time and finding their functions.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
typedef void* HMODULE;
typedef void (*FARPROC)();

// Search the library's own folder first (the only flag that has a meaning
// here; libraries are always searched that way).
#  define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008u

// A name without a folder is looked for in the folder of the suite's own
// libraries first, then where the system looks for libraries; a path is
// loaded as it is. Null when it cannot be loaded.
PLATFORM_API HMODULE LoadLibraryExA(LPCSTR name, HANDLE reserved, DWORD flags);
#  define LoadLibraryEx LoadLibraryExA
// Null when the library has no such function.
PLATFORM_API FARPROC GetProcAddress(HMODULE library, LPCSTR name);
PLATFORM_API BOOL FreeLibrary(HMODULE library);
#endif
