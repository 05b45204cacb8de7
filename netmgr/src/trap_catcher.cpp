// The trap catcher: its window, its record list and its thread.
#include "trap_catcher.h"

#include "debug_output.h"
#include "trap_delivery.h"
#include "trap_server_link.h"
#include "winsnmp.h"

#include "notifyd/trap_server.h"
#include "platform/heap.h"
#include "platform/messages.h"
#include "platform/process_windows.h"
#include "platform/sockets.h"
#include "platform/waits.h"
#include "udpwire/destroy_thread.h"
#include "udpwire/ptr_list.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace netmgr {
namespace {

constexpr char kWindowClass[] = "Orvane_NETMGR_TRAP_CATCHER_CLASS";
constexpr char kWindowTitle[] = "Orvane WinSnmp Trap Catching Window C-1996";
constexpr char kThreadName[] = "SNMP Trap Catching Thread";
constexpr UINT kRecordsWaiting = 5685;
constexpr SIZE_T kThreadStack = 8192;

// How traps reach the catcher.
enum class Method { none = 0, serverOverSockets11 = 1, serverOverSockets20 = 2, platformService = 3 };

// A record as the window copied it, waiting for the catching thread.
struct WaitingRecord {
  uint32_t size;
  uint8_t octets[1];  // `size` octets
};

struct Catcher {
  std::atomic<bool> started{false};
  std::atomic<bool> stopping{false};
  uint32_t socketVersion = 0;  // 20, 11 or 0
  Method method = Method::none;
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HWND window = nullptr;
  TrapServerLink server;
  CPtrList* records = nullptr;  // WaitingRecord entries, locked by the list
};

// Starting and stopping, and the window procedure's look at the catcher,
// are serialised by this lock; a delivery in progress does not need it.
// Re-entrant: while the registering thread waits for the server's answer
// it answers what is sent to it, the server's records included.
std::recursive_mutex catcherLock;
Catcher* current = nullptr;
bool classRegistered = false;
platform::CountedHeap recordHeap;

void releaseRecord(WaitingRecord* record) { recordHeap.release(record); }

// Accepts a block only when it holds a whole trap record (see
// trap_server.h), copies it and wakes the catching thread.
LRESULT acceptCopyData(HWND window, const COPYDATASTRUCT* block) {
  if (!block || !trapserver::readRecord(block->lpData, block->cbData)) return FALSE;
  std::lock_guard guard(catcherLock);
  if (!current || current->window != window || !current->started.load()) return FALSE;
  auto* record = static_cast<WaitingRecord*>(recordHeap.allocate(offsetof(WaitingRecord, octets) + block->cbData));
  if (!record) return FALSE;
  record->size = block->cbData;
  std::memcpy(record->octets, block->lpData, block->cbData);
  if (!current->records->AddTail(record)) {
    releaseRecord(record);
    return FALSE;
  }
  PostThreadMessage(current->threadId, kRecordsWaiting, 0, 0);
  return TRUE;
}

LRESULT CALLBACK catcherWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: return acceptCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CREATE:
    case WM_DESTROY: return 0;
    default: return DefWindowProc(window, message, wParam, lParam);
  }
}

void deliverWaitingRecords(Catcher& catcher) {
  while (auto* record = static_cast<WaitingRecord*>(catcher.records->RemoveHead())) {
    if (auto view = trapserver::readRecord(record->octets, record->size)) {
      in_addr sender{};
      std::memcpy(&sender, view->sender, sizeof sender);
      deliverTrap(sender, view->message, view->length);
    }
    releaseRecord(record);
  }
}

// Waits for messages without a time limit and delivers every record that
// waits; ends on the quit message.
DWORD WINAPI catchingThread(LPVOID parameter) {
  auto& catcher = *static_cast<Catcher*>(parameter);
  MSG message;
  while (!catcher.stopping.load() && GetMessage(&message, nullptr, 0, 0) > 0) {
    do {
      if (message.message == UDPWIRE_QUIT_MESSAGE) return 0;
      if (message.message == kRecordsWaiting) deliverWaitingRecords(catcher);
    } while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
  }
  return 0;
}

// Asks for sockets 2.0, then 1.1.
uint32_t socketInterfaceVersion() {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 0), &data) == 0) return 20;
  if (WSAStartup(MAKEWORD(1, 1), &data) == 0) return 11;
  return 0;
}

// The platform trap service would need the platform's management library,
// which this platform does not have.
Method chooseMethod(const Catcher& catcher) {
  debugLine("the platform trap service does not exist on this platform; traps come through the trap server");
  switch (catcher.socketVersion) {
    case 11: return Method::serverOverSockets11;
    case 20: return Method::serverOverSockets20;
    default: return Method::none;
  }
}

HWND createCatcherWindow() {
  if (!classRegistered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = catcherWindow;
    windowClass.lpszClassName = kWindowClass;
    classRegistered = RegisterClass(&windowClass) != 0;
    if (!classRegistered) return nullptr;
  }
  HWND window = CreateWindow(kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  if (window && !platform::publishWindow(window)) {
    DestroyWindow(window);
    return nullptr;
  }
  return window;
}

// Only the window's own thread may destroy it; any other thread asks it to.
void removeCatcherWindow(HWND window) {
  if (window && !DestroyWindow(window)) PostMessage(window, WM_CLOSE, 0, 0);
  if (classRegistered && UnregisterClass(kWindowClass, nullptr)) classRegistered = false;
}

bool startCatchingThread(Catcher& catcher) {
  catcher.thread = CreateThread(nullptr, kThreadStack, catchingThread, &catcher, 0, &catcher.threadId);
  if (!catcher.thread) return false;
  // The thread's queue must exist before anything is posted to it.
  while (!PostThreadMessage(catcher.threadId, WM_NULL, 0, 0)) Sleep(1);
  return true;
}

// Undoes whatever a failed start made. Called with the lock held.
uint32_t failStart(Catcher& catcher) {
  leaveTrapServer(catcher.server);
  removeCatcherWindow(catcher.window);
  catcher.window = nullptr;
  catcher.method = Method::none;
  return SNMPAPI_TL_NOT_AVAILABLE;
}

}  // namespace

bool createTrapCatcher() {
  auto* catcher = new (std::nothrow) Catcher;
  if (!catcher) return false;
  catcher->records = new CPtrList(catcher);
  if (!catcher->records) {
    delete catcher;
    return false;
  }
  catcher->socketVersion = socketInterfaceVersion();
  std::lock_guard guard(catcherLock);
  current = catcher;
  return true;
}

uint32_t startTrapCatcher() {
  std::lock_guard guard(catcherLock);
  if (!current) return SNMPAPI_TL_NOT_AVAILABLE;
  Catcher& catcher = *current;
  if (catcher.started.load()) return 0;
  catcher.method = chooseMethod(catcher);
  if (catcher.method == Method::none) return SNMPAPI_TL_NOT_AVAILABLE;
  catcher.window = createCatcherWindow();
  if (!catcher.window || joinTrapServer(catcher.window, catcher.server) != 0) return failStart(catcher);
  // Records may come as soon as the server knows the window; they are
  // refused until the thread that takes them runs.
  if (!startCatchingThread(catcher)) return failStart(catcher);
  catcher.started.store(true);
  return 0;
}

void deleteTrapCatcher() {
  Catcher* catcher;
  {
    std::lock_guard guard(catcherLock);
    catcher = current;
    current = nullptr;
    if (!catcher) return;
    if (catcher->started.load()) {
      catcher->stopping.store(true);
      leaveTrapServer(catcher->server);
      removeCatcherWindow(catcher->window);
    }
  }
  // Outside the lock: the thread may be delivering, which never takes it.
  if (catcher->thread) destroyThread(catcher->threadId, catcher->thread, kThreadName);
  while (auto* record = static_cast<WaitingRecord*>(catcher->records->RemoveHead())) releaseRecord(record);
  delete catcher->records;
  if (catcher->socketVersion) WSACleanup();
  delete catcher;
}

}  // namespace netmgr
