// Events, manual or auto reset, on signal flags.
#include "handles.h"
#include "platform/waits.h"
#include "signal_flag.h"

namespace platform::detail {
namespace {

class Event final : public Waitable {
 public:
  explicit Event(bool manualReset) noexcept : manualReset_(manualReset) {}
  bool valid() const noexcept { return flag_.valid(); }
  int descriptor() const noexcept override { return flag_.descriptor(); }
  bool acquire() noexcept override { return manualReset_ ? flag_.isSet() : flag_.take(); }
  void settle() noexcept override { flag_.settle(); }
  void set() noexcept { flag_.set(); }
  void reset() noexcept { flag_.clear(); }

 private:
  const bool manualReset_;
  SignalFlag flag_;
};

}  // namespace
}  // namespace platform::detail

using platform::detail::Event;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  if (name && *name) return nullptr;
  std::shared_ptr<Event> event;
  try {
    event = std::make_shared<Event>(manualReset != FALSE);
  } catch (...) {
    return nullptr;
  }
  if (!event->valid()) return nullptr;
  if (initialState) event->set();
  return platform::detail::addHandle(std::move(event));
}

BOOL SetEvent(HANDLE handle) {
  auto event = platform::detail::findHandleOf<Event>(handle);
  if (!event) return FALSE;
  event->set();
  return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
  auto event = platform::detail::findHandleOf<Event>(handle);
  if (!event) return FALSE;
  event->reset();
  return TRUE;
}
