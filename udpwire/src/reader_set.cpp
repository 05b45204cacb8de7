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
    epoll_event event{EPOLLIN | EPOLLEXCLUSIVE, {}};
    event.data.u32 = position;
    if (epoll_ctl(set_, EPOLL_CTL_ADD, entries[position]->socket, &event) == 0) continue;
    event.events = EPOLLIN;  // a kernel without exclusive watches
    epoll_ctl(set_, EPOLL_CTL_ADD, entries[position]->socket, &event);
  }
  return true;
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
