// The calling thread's last error and the texts of error codes, for the
// facilities that report failures the Windows way (pipes, services).
//
// Codes are Windows system error codes. A failure with no such code is
// kept as kErrnoErrorBase + errno, whose text is the C library's.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#include <cstdarg>

#if !defined(_WIN32)
#  define ERROR_SUCCESS 0
#  define ERROR_FILE_NOT_FOUND 2
#  define ERROR_ACCESS_DENIED 5
#  define ERROR_INVALID_HANDLE 6
#  define ERROR_NOT_ENOUGH_MEMORY 8
#  define ERROR_BAD_NETPATH 53
#  define ERROR_INVALID_PARAMETER 87
#  define ERROR_BROKEN_PIPE 109
#  define ERROR_SEM_TIMEOUT 121
#  define ERROR_INSUFFICIENT_BUFFER 122
#  define ERROR_INVALID_NAME 123
#  define ERROR_FILENAME_EXCED_RANGE 206
#  define ERROR_BAD_PIPE 230
#  define ERROR_PIPE_BUSY 231
#  define ERROR_NO_DATA 232
#  define ERROR_PIPE_NOT_CONNECTED 233
#  define ERROR_MORE_DATA 234
#  define ERROR_PIPE_CONNECTED 535
#  define ERROR_PIPE_LISTENING 536
#  define ERROR_OPERATION_ABORTED 995
#  define ERROR_IO_INCOMPLETE 996
#  define ERROR_IO_PENDING 997
#  define ERROR_INVALID_SERVICE_CONTROL 1052
#  define ERROR_SERVICE_REQUEST_TIMEOUT 1053
#  define ERROR_SERVICE_NO_THREAD 1054
#  define ERROR_SERVICE_ALREADY_RUNNING 1056
#  define ERROR_SERVICE_DOES_NOT_EXIST 1060
#  define ERROR_SERVICE_NOT_ACTIVE 1062
#  define ERROR_FAILED_SERVICE_CONTROLLER_CONNECT 1063
#  define ERROR_PROCESS_ABORTED 1067
#  define ERROR_SERVICE_EXISTS 1073
#  define ERROR_INVALID_SERVICE_NAME 1213

#  define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#  define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u

PLATFORM_API DWORD GetLastError();
PLATFORM_API void SetLastError(DWORD error);

// Only FORMAT_MESSAGE_FROM_SYSTEM is served: the text of `messageId`, one
// sentence without a line break, cut to fit `size` and terminated. The
// source, language and arguments are not used. Returns the length
// written; 0 when `buffer` is null or `size` is 0.
PLATFORM_API DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
                                  LPSTR buffer, DWORD size, va_list* arguments);
#  define FormatMessage FormatMessageA
#endif

namespace platform {

inline constexpr DWORD kErrnoErrorBase = 0x20000000u;

// The system error code for an errno value: the Windows code where one
// means the same, else kErrnoErrorBase + the value.
PLATFORM_API DWORD errorFromErrno(int error);

}  // namespace platform
