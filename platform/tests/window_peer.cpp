// The other process of the cross-process window tests: publishes a window
// of the class and title it is given, prints "ready", and answers:
//   kAdd (wParam, lParam)   with wParam + lParam
//   WM_COPYDATA             with the block's length * 1000 + its octet sum,
//                           after remembering dwData
//   kPostCount              with the number of kPosted messages so far
//   kCallBack (window)      by sending that window WM_COPYDATA "peer" and
//                           returning its answer
//   kHang                   by sleeping for a minute
//   kDie                    by ending the process at once, files left behind
// It ends on WM_CLOSE.
#include "platform/messages.h"
#include "platform/process_windows.h"
#include "platform/waits.h"
#include "window_peer.h"

#include <cstdio>
#include <unistd.h>

namespace {

int postedCount = 0;

LRESULT CALLBACK peerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kAdd: return static_cast<LRESULT>(wParam) + lParam;
    case kPosted: ++postedCount; return 0;
    case kPostCount: return postedCount;
    case WM_COPYDATA: {
      auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      LRESULT sum = 0;
      for (DWORD i = 0; i < block->cbData; ++i) sum += static_cast<const unsigned char*>(block->lpData)[i];
      return static_cast<LRESULT>(block->cbData) * 1000 + sum + static_cast<LRESULT>(block->dwData) * 1000000;
    }
    case kCallBack: {
      char text[] = "peer";
      COPYDATASTRUCT block{7, 4, text};
      return SendMessage(reinterpret_cast<HWND>(lParam), WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                         reinterpret_cast<LPARAM>(&block));
    }
    case kHang: Sleep(60000); return 0;
    case kDie: _exit(3);
    case WM_CLOSE: PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 0, 0); return 0;
    default: return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = peerWindow;
  windowClass.lpszClassName = argv[1];
  RegisterClass(&windowClass);
  HWND window = CreateWindow(argv[1], argv[2], WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  if (!window || !platform::publishWindow(window)) return 1;
  std::printf("ready %p\n", static_cast<void*>(window));
  std::fflush(stdout);
  MSG message;
  while (GetMessage(&message, nullptr, 0, 0) > 0) DispatchMessage(&message);
  DestroyWindow(window);
  return 0;
}
