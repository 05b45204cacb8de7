// Processes: starting programs, and environment strings.
//
// CreateProcessA takes its command line in the Windows form: the program
// first (in double quotes when it holds blanks; no escapes in it), then the
// arguments, split at blanks and tabs outside double quotes, where 2n
// backslashes before a quote give n and the quote opens or closes, and
// 2n+1 give n and a literal quote. Without an application name the program
// is looked up through PATH; with one, that file is run and the command
// line gives only the arguments (its first word stays argv[0]).
//
// What differs from Windows:
// - Of the creation flags only DETACHED_PROCESS has an effect: the child
//   runs in a session of its own (a ^C in the caller's terminal does not
//   reach it) with its standard streams on /dev/null, as a program without
//   a console; other flags and the start-up record are accepted and
//   ignored.
// - Without inheritance the child keeps only standard input, output and
//   error of the caller's descriptors; with it, every descriptor not
//   marked close-on-exec.
// - hThread is null and dwThreadId 0: the child's threads are out of reach.
// - The process handle is signalled when the child ends, and its end is
//   collected even when the handle was closed before, so no zombie stays.
//   An exit by signal gives the exit code 128 + the signal's number.
#pragma once

#include "platform/export.h"
#include "platform/waits.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
typedef DWORD* LPDWORD;
#  define DETACHED_PROCESS 0x00000008u
typedef BYTE* LPBYTE;

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// Starts the program; FALSE (and nothing started) when the command line is
// empty, the program cannot be found or run, or the folder does not exist.
// `environment`, when given, is a block of "NAME=value" strings each ended
// by a zero, the block by one more.
PLATFORM_API BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                                 LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                                 DWORD creationFlags, LPVOID environment,
                                 LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                                 LPPROCESS_INFORMATION processInformation);
// STILL_ACTIVE while the process runs.
PLATFORM_API BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// Replaces each %NAME% of `source` by the variable's value; names that are
// not set stay as written. Returns the characters the result needs with
// its terminating zero; the result is written only when that fits in
// `size`. 0 for a null source.
PLATFORM_API DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size);

#  define CreateProcess CreateProcessA
#  define ExpandEnvironmentStrings ExpandEnvironmentStringsA
#  define STARTUPINFO STARTUPINFOA
#endif
