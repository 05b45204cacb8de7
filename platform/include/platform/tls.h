// Thread-local storage slots.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
#  define TLS_OUT_OF_INDEXES 0xFFFFFFFFu

PLATFORM_API DWORD TlsAlloc();
PLATFORM_API BOOL TlsFree(DWORD index);
PLATFORM_API LPVOID TlsGetValue(DWORD index);
PLATFORM_API BOOL TlsSetValue(DWORD index, LPVOID value);
#endif
