// The handle table and CloseHandle.
#include "handles.h"

#include "platform/waits.h"
#include "thread_record.h"

#include <mutex>
#include <unordered_map>

namespace platform::detail {
namespace {

constexpr uintptr_t kFirstHandle = 0x100;
constexpr uintptr_t kHandleStep = 4;
const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

struct HandleTable {
  std::mutex lock;
  uintptr_t next = kFirstHandle;
  std::unordered_map<uintptr_t, std::shared_ptr<Waitable>> objects;
};

// Never destroyed: threads may still close handles while the process exits.
HandleTable& table() {
  static HandleTable* instance = new HandleTable;
  return *instance;
}

}  // namespace

HANDLE addHandle(std::shared_ptr<Waitable> object) noexcept {
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  uintptr_t value = handles.next;
  try {
    handles.objects.emplace(value, std::move(object));
  } catch (...) {
    return nullptr;
  }
  handles.next += kHandleStep;
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<Waitable> findHandle(HANDLE handle) noexcept {
  if (handle == kCurrentThreadPseudoHandle) return currentThreadRecordShared();
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  auto found = handles.objects.find(reinterpret_cast<uintptr_t>(handle));
  return found == handles.objects.end() ? nullptr : found->second;
}

bool removeHandle(HANDLE handle) noexcept {
  std::shared_ptr<Waitable> released;  // destroyed after the lock is left
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  auto found = handles.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == handles.objects.end()) return false;
  released = std::move(found->second);
  handles.objects.erase(found);
  return true;
}

HANDLE currentThreadPseudoHandle() noexcept { return kCurrentThreadPseudoHandle; }

}  // namespace platform::detail

BOOL CloseHandle(HANDLE object) {
  if (object == platform::detail::currentThreadPseudoHandle()) return TRUE;
  return platform::detail::removeHandle(object) ? TRUE : FALSE;
}
