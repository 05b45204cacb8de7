// Messages to the published windows of other processes, and the calls of
// process_windows.h.
#include "platform/process_windows.h"

#include "published_windows.h"
#include "wait_core.h"
#include "window_table.h"
#include "window_wire.h"

#include "platform/tick.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::detail {
namespace {

// How long a post waits for room in a receiver's full socket.
constexpr DWORD kPostPatience = 1000;

class Descriptor {
 public:
  explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  void reset(int descriptor = -1) {
    if (descriptor_ >= 0) close(descriptor_);
    descriptor_ = descriptor;
  }

 private:
  int descriptor_;
};

DWORD remaining(DWORD timeout, uint64_t start) {
  if (timeout == INFINITE) return INFINITE;
  uint64_t elapsed = GetTickCount64() - start;
  return elapsed >= timeout ? 0 : static_cast<DWORD>(timeout - elapsed);
}

// Sends one datagram to the window's socket, with `passed` (when given)
// travelling along; waits up to `timeout` ms for room. False when nobody
// is bound to the socket or there was no room in time.
bool deliverDatagram(HWND window, const std::vector<uint8_t>& octets, int passed, DWORD timeout) {
  std::string folder = windowsFolder();
  std::string path = folder.empty() ? "" : socketPathOf(folder, window);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  Descriptor socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (socket.get() < 0 || connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return false;
  }
  iovec part{const_cast<uint8_t*>(octets.data()), octets.size()};
  msghdr header{};
  header.msg_iov = &part;
  header.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
  if (passed >= 0) {
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    cmsghdr* item = CMSG_FIRSTHDR(&header);
    item->cmsg_level = SOL_SOCKET;
    item->cmsg_type = SCM_RIGHTS;
    item->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(item), &passed, sizeof passed);
  }
  uint64_t start = GetTickCount64();
  for (;;) {
    if (sendmsg(socket.get(), &header, MSG_DONTWAIT | MSG_NOSIGNAL) >= 0) return true;
    if (errno != EAGAIN && errno != EINTR) return false;
    // A connected datagram socket polls writable once the receiver has room.
    DWORD left = remaining(timeout, start);
    pollfd room{socket.get(), POLLOUT, 0};
    if (left == 0 || poll(&room, 1, left == INFINITE ? -1 : static_cast<int>(left)) < 0) return false;
  }
}

// The answer on `reply`, waiting up to `timeout` ms and answering what is
// sent to the caller meanwhile. False when the other end closed first (the
// window or its process is gone) or the time ran out.
bool awaitRemoteAnswer(int reply, DWORD timeout, LRESULT& answer) {
  pollfd descriptor{reply, POLLIN, 0};
  WaitRequest request;
  request.sockets = {&descriptor, 1};
  waitAnsweringSent(request, timeout);
  uint8_t octets[8];
  if (recv(reply, octets, sizeof octets, MSG_DONTWAIT) != static_cast<ssize_t>(sizeof octets)) return false;
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(octets[i]) << (8 * i);
  answer = static_cast<LRESULT>(value);
  return true;
}

class ProcessWindowCarrier final : public WindowCarrier {
 public:
  bool carries(HWND window) override {
    unsigned long owner = ownerProcessOf(window);
    return owner != 0 && owner != static_cast<unsigned long>(getpid()) && windowSocketLive(window);
  }

  // WM_COPYDATA cannot be posted: its block must live until it is read.
  BOOL post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COPYDATA) return FALSE;
    auto octets = encodeCarried(Delivery::posted, window, message, wParam, lParam);
    return octets && deliverDatagram(window, *octets, -1, kPostPatience) ? TRUE : FALSE;
  }

  LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT answer = 0;
    sendWithin(window, message, wParam, lParam, INFINITE, answer);
    return answer;
  }

  bool sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout,
                  LRESULT& answer) override {
    answer = 0;
    uint64_t start = GetTickCount64();
    auto octets = encodeCarried(Delivery::sent, window, message, wParam, lParam);
    int ends[2];
    if (!octets || socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
    Descriptor mine(ends[0]), theirs(ends[1]);
    if (!deliverDatagram(window, *octets, theirs.get(), timeout)) return false;
    // Only the receiver holds the other end now: its answer, or its end
    // closing, ends the wait.
    theirs.reset();
    return awaitRemoteAnswer(mine.get(), remaining(timeout, start), answer);
  }
};

}  // namespace

WindowCarrier& processWindowCarrier() {
  static ProcessWindowCarrier* instance = new ProcessWindowCarrier;
  return *instance;
}

}  // namespace platform::detail

using namespace platform::detail;

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  if (HWND local = findLocalWindow(className, windowName)) return local;
  return findPublishedWindow(className, windowName);
}

namespace platform {

BOOL publishWindow(HWND window) {
  std::shared_ptr<Window> local = findWindow(window);
  return local && detail::publishWindow(window, local->className, local->title) ? TRUE : FALSE;
}

BOOL windowStillPublished(HWND window) { return stillPublished(window) ? TRUE : FALSE; }

}  // namespace platform
