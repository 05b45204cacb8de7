// Waitable objects and waits: events, threads with handles, and waits that
// combine them with the calling thread's message queue.
//
// Every object is backed by a descriptor that poll can watch, so one wait
// covers any mix of events, threads, the message queue and sockets (see
// platform::waitForSocketsOrMessages in sockets.h).
//
// What POSIX cannot do as Windows does:
// - Thread priorities are kept as given and asked of the scheduler as the
//   thread's nice value; raising above normal needs privileges, and when
//   the scheduler refuses, only the kept value changes.
// - TerminateThread is cooperative: it records the exit code and wakes the
//   thread; from then on every wait of that thread fails at once
//   (WAIT_FAILED), GetMessage returns 0 and PeekMessage hands out WM_QUIT,
//   and Sleep returns at once. The thread ends when its code returns; its
//   handle is signalled then, not before.
// - SuspendThread suspends only the calling thread (at that call).
// - A stack size below the system's default is raised to the default.
// - MsgWaitForMultipleObjects waits for any one object (bWaitAll must be
//   FALSE) and takes any number of handles.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
#  define INFINITE 0xFFFFFFFFu
#  define WAIT_OBJECT_0 0x00000000u
#  define WAIT_ABANDONED_0 0x00000080u
#  define WAIT_TIMEOUT 0x00000102u
#  define WAIT_FAILED 0xFFFFFFFFu
#  define STILL_ACTIVE 259u
#  define CREATE_SUSPENDED 0x00000004u

#  define THREAD_PRIORITY_IDLE (-15)
#  define THREAD_PRIORITY_LOWEST (-2)
#  define THREAD_PRIORITY_BELOW_NORMAL (-1)
#  define THREAD_PRIORITY_NORMAL 0
#  define THREAD_PRIORITY_ABOVE_NORMAL 1
#  define THREAD_PRIORITY_HIGHEST 2
#  define THREAD_PRIORITY_TIME_CRITICAL 15
#  define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// Wake masks of MsgWaitForMultipleObjects. Only posted, sent and timer
// messages exist here; the input-device bits are accepted and ignored.
#  define QS_POSTMESSAGE 0x0008u
#  define QS_TIMER 0x0010u
#  define QS_SENDMESSAGE 0x0040u
#  define QS_ALLPOSTMESSAGE 0x0100u
#  define QS_ALLEVENTS 0x04BFu
#  define QS_ALLINPUT 0x04FFu

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

// Closes an event or thread handle. A thread keeps running when its handle
// is closed; a wait already in progress on the object is not disturbed.
PLATFORM_API BOOL CloseHandle(HANDLE object);

// Events. Named events are not supported (a name gives null).
PLATFORM_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset,
                                 BOOL initialState, LPCSTR name);
#  define CreateEvent CreateEventA
PLATFORM_API BOOL SetEvent(HANDLE event);
PLATFORM_API BOOL ResetEvent(HANDLE event);

// Threads. Thread ids are process-wide, start above 0 and are never reused.
PLATFORM_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                                 LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                 DWORD creationFlags, DWORD* threadId);
PLATFORM_API DWORD GetCurrentThreadId();
// A pseudo-handle meaning "the calling thread"; closing it does nothing.
PLATFORM_API HANDLE GetCurrentThread();
// Previous suspend count, or (DWORD)-1 for a bad handle.
PLATFORM_API DWORD ResumeThread(HANDLE thread);
// Only for the calling thread: blocks until another thread resumes it.
PLATFORM_API DWORD SuspendThread(HANDLE thread);
PLATFORM_API BOOL TerminateThread(HANDLE thread, DWORD exitCode);
PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);
PLATFORM_API int GetThreadPriority(HANDLE thread);

// Waits. WAIT_OBJECT_0 + i names the first signalled object; an auto-reset
// event is reset by the wait that reports it.
PLATFORM_API DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
// Also returns WAIT_OBJECT_0 + count when the calling thread's message
// queue (created by this call if needed) holds input of the wake mask.
PLATFORM_API DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                             DWORD milliseconds, DWORD wakeMask);
// Sleep(0) yields the processor.
PLATFORM_API void Sleep(DWORD milliseconds);
#endif

namespace platform {

// Test support: how many times the calling thread's waits (messages,
// events, threads, sockets, Sleep) have come back from the system's wait,
// so that a test can tell a wait that sleeps until something happens from
// one that keeps looking.
PLATFORM_API unsigned long long waitWakeUpsOfCallingThread();

}  // namespace platform
