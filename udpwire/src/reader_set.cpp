// The reader's epoll set.
#include "reader_set.h"

#include <sys/epoll.h>
#include <unistd.h>

namespace udpwire {
namespace {

constexpr int kEventsPerLook = 64;

}  // namespace

ReaderSet::~ReaderSet() {
  if (set_ >= 0) close(set_);
}

bool ReaderSet::rebuild(const std::vector<SocketEntry*>& entries) noexcept {
  if (set_ >= 0) close(set_);
  set_ = epoll_create1(EPOLL_CLOEXEC);
  if (set_ < 0) return false;
  for (uint32_t position = 0; position < entries.size(); ++position) {
    SocketEntry& entry = *entries[position];
    entry.readerPosition = position;
    epoll_event event{entry.ownerWaits > 0 ? 0u : static_cast<uint32_t>(EPOLLIN), {}};
    event.data.u32 = position;
    if (epoll_ctl(set_, EPOLL_CTL_ADD, entry.socket, &event) != 0) entry.readerPosition = kNotInReaderSet;
  }
  return true;
}

void ReaderSet::ownerWaits(SocketEntry& entry) noexcept {
  if (entry.ownerWaits++ == 0) watch(entry, false);
}

void ReaderSet::ownerStopsWaiting(SocketEntry& entry) noexcept {
  if (entry.ownerWaits > 0 && --entry.ownerWaits == 0) watch(entry, true);
}

void ReaderSet::watch(const SocketEntry& entry, bool watched) noexcept {
  if (set_ < 0 || entry.readerPosition == kNotInReaderSet) return;
  epoll_event event{watched ? static_cast<uint32_t>(EPOLLIN) : 0u, {}};
  event.data.u32 = entry.readerPosition;
  epoll_ctl(set_, EPOLL_CTL_MOD, entry.socket, &event);
}

const std::vector<uint32_t>& ReaderSet::readable() noexcept {
  readable_.clear();
  epoll_event events[kEventsPerLook];
  int count = set_ >= 0 ? epoll_wait(set_, events, kEventsPerLook, 0) : 0;
  for (int i = 0; i < count; ++i) {
    try {
      readable_.push_back(events[i].data.u32);
    } catch (...) {
      break;  // the rest stay readable for the next look
    }
  }
  return readable_;
}

}  // namespace udpwire
