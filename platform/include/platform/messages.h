// Messages: a queue per thread, created on first use, and windows owned by
// the thread that created them.
//
// A thread's queue comes into being with its first GetMessage,
// PeekMessage, MsgWaitForMultipleObjects, CreateWindow or SetTimer; until
// then PostThreadMessage to it fails, as callers that retry a post expect.
// The queue ends with its thread, together with the thread's windows.
//
// Retrieval order: messages other threads sent (handled inside GetMessage
// and PeekMessage), then posted messages oldest first, then WM_TIMER of a
// due timer (one pending per timer). A filtered GetMessage that finds only
// messages outside its filter rechecks every millisecond.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"
#include "platform/waits.h"

#if !defined(_WIN32)
#  define WM_NULL 0x0000u
#  define WM_CREATE 0x0001u
#  define WM_DESTROY 0x0002u
#  define WM_CLOSE 0x0010u
#  define WM_QUIT 0x0012u
#  define WM_COPYDATA 0x004Au
#  define WM_TIMER 0x0113u
#  define WM_USER 0x0400u

#  define SMTO_NORMAL 0x0000u
#  define SMTO_BLOCK 0x0001u
#  define SMTO_ABORTIFHUNG 0x0002u

#  define PM_NOREMOVE 0x0000u
#  define PM_REMOVE 0x0001u
#  define PM_NOYIELD 0x0002u

#  define CW_USEDEFAULT (static_cast<int>(0x80000000u))
#  define WS_OVERLAPPEDWINDOW 0x00CF0000u

typedef WORD ATOM;
typedef void* HINSTANCE;
typedef void* HICON;
typedef void* HCURSOR;
typedef void* HBRUSH;
typedef void* HMENU;
typedef ULONG_PTR DWORD_PTR;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
typedef RECT* LPRECT;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef void(CALLBACK* TIMERPROC)(HWND window, UINT message, UINT_PTR timerId, DWORD tickCount);

// Only the procedure and the name have an effect here.
struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};

struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  LPVOID lpData;
};

// Window classes are process-wide; names compare without case.
PLATFORM_API ATOM RegisterClassA(const WNDCLASSA* windowClass);
// Fails while windows of the class exist.
PLATFORM_API BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
// The window belongs to the calling thread, whose queue this creates.
// WM_CREATE is sent before it returns; a result of -1 fails the creation.
PLATFORM_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                                  int x, int y, int width, int height, HWND parent, HMENU menu,
                                  HINSTANCE instance, LPVOID parameter);
#  define CreateWindowA(className, windowName, style, x, y, width, height, parent, menu, instance, \
                        parameter)                                                               \
     CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, \
                     parameter)
// Only the owning thread may destroy a window; WM_DESTROY is sent first.
// Messages already posted to it stay queued and are dispatched to nobody.
PLATFORM_API BOOL DestroyWindow(HWND window);
PLATFORM_API BOOL IsWindow(HWND window);
// The id of the thread that owns the window (the process id is not kept:
// 0); 0 for a carried window and for an unknown one.
PLATFORM_API DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
// The client area is (0, 0, width, height) as created; CW_USEDEFAULT gives 0.
// A carried window's is its carrier's (empty unless the carrier says).
PLATFORM_API BOOL GetClientRect(HWND window, LPRECT rect);
// WM_CLOSE destroys the window; everything else answers 0.
PLATFORM_API LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A null window posts to the calling thread.
PLATFORM_API BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Fails while the thread has no queue (or does not exist).
PLATFORM_API BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// To a window of the calling thread: a direct call. To a window of another
// thread: delivered there when that thread next retrieves messages, while
// the caller waits and still handles messages sent to itself. 0 when the
// window does not exist or its thread ends first.
PLATFORM_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// As SendMessage, waiting at most `timeout` ms for the answer. Nonzero
// with the answer in `result` (when given); 0 when the window does not
// exist, its thread or process ended first, or the time ran out. The
// flags are accepted for their Windows meaning and have no effect: the
// caller always handles messages sent to itself while it waits.
PLATFORM_API LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                                         UINT timeout, DWORD_PTR* result);
// 0 for WM_QUIT, -1 on failure, else nonzero.
PLATFORM_API BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
PLATFORM_API BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax,
                               UINT removeFlags);
// Calls the window's procedure, or a WM_TIMER message's timer procedure.
PLATFORM_API LRESULT DispatchMessageA(const MSG* message);
// The same number for the same name (without case) in every process of
// the suite: 0xC000..0xFFFF, made from the name. 0 for an empty name.
PLATFORM_API UINT RegisterWindowMessageA(LPCSTR name);

// Timers of the calling thread's windows, or of the thread itself when
// the window is null (the id is then chosen here and returned). WM_TIMER
// carries the id in wParam and the procedure, if any, in lParam.
PLATFORM_API UINT_PTR SetTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure);
PLATFORM_API BOOL KillTimer(HWND window, UINT_PTR timerId);

#  define RegisterClass RegisterClassA
#  define UnregisterClass UnregisterClassA
#  define CreateWindowEx CreateWindowExA
#  define CreateWindow CreateWindowA
#  define DefWindowProc DefWindowProcA
#  define PostMessage PostMessageA
#  define PostThreadMessage PostThreadMessageA
#  define SendMessage SendMessageA
#  define SendMessageTimeout SendMessageTimeoutA
#  define GetMessage GetMessageA
#  define PeekMessage PeekMessageA
#  define DispatchMessage DispatchMessageA
#  define RegisterWindowMessage RegisterWindowMessageA
#endif

namespace platform {

// The seam for windows whose messages travel another way: windows of other
// processes (published in the runtime directory, see process_windows.h)
// and windows that live in a GUI toolkit's event loop. The layer that
// provides such windows installs a carrier; PostMessage, SendMessage,
// IsWindow and GetClientRect offer every handle that no local window has
// to the installed carriers, in installation order, after the carrier of
// other processes' windows.
//
// Window handles hold their process's id in the upper 32 bits, so a
// handle names one window in every process. Other carriers take their
// handle values from allocateCarriedWindow (below 2^32), so that several
// carriers in one process never hand out the same handle.
class WindowCarrier {
 public:
  virtual bool carries(HWND window) = 0;
  virtual BOOL post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // As send, within `timeout` ms; false when no answer came in time (or
  // at all). Carriers whose windows answer at once need not override it.
  virtual bool sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout,
                          LRESULT& result) {
    (void)timeout;
    result = send(window, message, wParam, lParam);
    return true;
  }
  // A carried window has no client area of its own unless its carrier says.
  virtual BOOL clientRect(HWND, LPRECT rect) {
    *rect = RECT{0, 0, 0, 0};
    return TRUE;
  }

 protected:
  ~WindowCarrier() = default;
};

inline constexpr uintptr_t kFirstCarriedWindow = 0x40000000;

// A handle value no local window and no other carried window has, at or
// above kFirstCarriedWindow; values are never reused in a process.
PLATFORM_API HWND allocateCarriedWindow();

PLATFORM_API void installWindowCarrier(WindowCarrier* carrier);
PLATFORM_API void removeWindowCarrier(WindowCarrier* carrier);

}  // namespace platform
