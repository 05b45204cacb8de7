// The system tick count: milliseconds of a monotonic clock.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
// Wraps after about 49.7 days, as callers of the 32-bit form expect.
PLATFORM_API DWORD GetTickCount();
PLATFORM_API uint64_t GetTickCount64();
#endif
