// The post office: one thread per process that receives the messages other
// processes post or send to this process's published windows and hands
// them to the windows' threads, as PostMessage and SendMessage from a
// local thread would. The answer to a sent message goes back on the
// socket that came with it once the window's thread has answered, so the
// post office never waits for a window.
#include "published_windows.h"

#include "platform/atomic_file.h"
#include "signal_flag.h"
#include "window_table.h"
#include "window_wire.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform::detail {
namespace {

// Datagrams taken from one socket before the others get their turn.
constexpr int kDatagramsPerTurn = 64;

struct Publication {
  HWND window;
  int socket;
  std::string path;
  dev_t device;
  ino_t inode;
};

// A sent message waiting for its window's thread; the block of a
// WM_COPYDATA lives here until the answer is given.
struct PendingAnswer {
  std::shared_ptr<SentMessage> sent;
  int reply;
  COPYDATASTRUCT block;
  std::vector<uint8_t> data;
};

void closeDescriptor(int descriptor) {
  if (descriptor >= 0) close(descriptor);
}

void answer(PendingAnswer& pending) {
  uint8_t octets[8];
  uint64_t value = static_cast<uint64_t>(pending.sent->result);
  for (int i = 0; i < 8; ++i) octets[i] = static_cast<uint8_t>(value >> (8 * i));
  // The asker may have given up; its end is then closed and nothing is lost.
  [[maybe_unused]] ssize_t written = send(pending.reply, octets, sizeof octets, MSG_NOSIGNAL | MSG_DONTWAIT);
  close(pending.reply);
}

// One datagram read into the buffer: its length (0 for one that did not
// fit) and the first descriptor that came with it.
struct Arrival {
  size_t length = 0;
  int reply = -1;
};

// False when the socket has nothing more to read.
bool receiveOne(int socket, std::vector<uint8_t>& buffer, Arrival& arrival) {
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 4)];
  iovec part{buffer.data(), buffer.size()};
  msghdr header{};
  header.msg_iov = &part;
  header.msg_iovlen = 1;
  header.msg_control = control;
  header.msg_controllen = sizeof control;
  ssize_t received = recvmsg(socket, &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
  if (received < 0) return false;
  arrival.reply = -1;
  for (cmsghdr* item = CMSG_FIRSTHDR(&header); item; item = CMSG_NXTHDR(&header, item)) {
    if (item->cmsg_level != SOL_SOCKET || item->cmsg_type != SCM_RIGHTS) continue;
    size_t count = (item->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    for (size_t i = 0; i < count; ++i) {
      int descriptor;
      std::memcpy(&descriptor, CMSG_DATA(item) + i * sizeof(int), sizeof descriptor);
      if (arrival.reply < 0) arrival.reply = descriptor;
      else close(descriptor);
    }
  }
  arrival.length = header.msg_flags & (MSG_TRUNC | MSG_CTRUNC) ? 0 : static_cast<size_t>(received);
  return true;
}

class PostOffice;
PostOffice& postOffice();

class PostOffice {
 public:
  bool publish(HWND window, const std::string& className, const std::string& title);
  void withdraw(HWND window);
  bool stillPublished(HWND window);
  // At exit: the files go, so that no one finds a window that cannot answer.
  void withdrawAll();

 private:
  void run();
  void serveOnce(std::vector<pollfd>& descriptors, std::vector<HWND>& windows);
  void closeWithdrawn();
  void receiveFrom(HWND window, int socket);
  void deliver(HWND window, CarriedMessage& carried, int reply);
  void answerFinished();

  std::mutex lock_;
  std::vector<Publication> publications_;
  std::vector<int> withdrawn_;  // sockets the post office thread closes
  SignalFlag changed_;
  bool running_ = false;
  // Only the post office thread touches these.
  std::vector<std::unique_ptr<PendingAnswer>> pending_;
  std::vector<uint8_t> buffer_;
};

bool PostOffice::publish(HWND window, const std::string& className, const std::string& title) {
  if (className.find('\n') != std::string::npos || title.find('\n') != std::string::npos) return false;
  std::string folder = windowsFolder();
  if (folder.empty()) return false;
  std::string path = socketPathOf(folder, window);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path || !changed_.valid()) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  std::lock_guard guard(lock_);
  for (const Publication& publication : publications_)
    if (publication.window == window) return true;
  int socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (socket < 0) return false;
  unlink(path.c_str());  // left by an earlier process that had our id
  struct stat status{};
  int error = 0;
  if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || chmod(path.c_str(), 0600) != 0 ||
      stat(path.c_str(), &status) != 0 ||
      !replaceFileAtomically(path + ".window", className + "\n" + title + "\n", error)) {
    close(socket);
    unlink(path.c_str());
    return false;
  }
  publications_.push_back({window, socket, path, status.st_dev, status.st_ino});
  if (!running_) {
    std::thread(&PostOffice::run, this).detach();
    running_ = true;
    std::atexit([] { postOffice().withdrawAll(); });
  }
  changed_.set();
  return true;
}

void PostOffice::withdraw(HWND window) {
  std::lock_guard guard(lock_);
  for (auto publication = publications_.begin(); publication != publications_.end(); ++publication) {
    if (publication->window != window) continue;
    unlink((publication->path + ".window").c_str());
    unlink(publication->path.c_str());
    withdrawn_.push_back(publication->socket);
    publications_.erase(publication);
    changed_.set();
    return;
  }
}

void PostOffice::withdrawAll() {
  std::lock_guard guard(lock_);
  for (const Publication& publication : publications_) {
    unlink((publication.path + ".window").c_str());
    unlink(publication.path.c_str());
  }
}

bool PostOffice::stillPublished(HWND window) {
  std::lock_guard guard(lock_);
  for (const Publication& publication : publications_) {
    if (publication.window != window) continue;
    struct stat status{};
    return stat(publication.path.c_str(), &status) == 0 && status.st_dev == publication.device &&
           status.st_ino == publication.inode;
  }
  return false;
}

void PostOffice::closeWithdrawn() {
  for (int socket : withdrawn_) close(socket);
  withdrawn_.clear();
}

void PostOffice::run() {
  std::vector<pollfd> descriptors;
  std::vector<HWND> windows;
  buffer_.resize(kWireHeaderSize + kLargestCopyData);
  for (;;) {
    try {
      serveOnce(descriptors, windows);
    } catch (...) {
      // Out of memory: what was being delivered is lost; the next turn may fare better.
    }
  }
}

void PostOffice::serveOnce(std::vector<pollfd>& descriptors, std::vector<HWND>& windows) {
  descriptors.assign(1, pollfd{changed_.descriptor(), POLLIN, 0});
  windows.clear();
  {
    // Sockets close only here, so every one in this turn's poll is open.
    std::lock_guard guard(lock_);
    changed_.clear();
    closeWithdrawn();
    for (const Publication& publication : publications_) {
      descriptors.push_back({publication.socket, POLLIN, 0});
      windows.push_back(publication.window);
    }
  }
  for (const auto& pending : pending_) descriptors.push_back({pending->sent->done.descriptor(), POLLIN, 0});
  if (poll(descriptors.data(), descriptors.size(), -1) <= 0) return;
  for (size_t i = 0; i < windows.size(); ++i)
    if (descriptors[i + 1].revents) receiveFrom(windows[i], descriptors[i + 1].fd);
  answerFinished();
}

void PostOffice::receiveFrom(HWND window, int socket) {
  Arrival arrival;
  for (int turn = 0; turn < kDatagramsPerTurn && receiveOne(socket, buffer_, arrival); ++turn) {
    std::optional<CarriedMessage> carried = decodeCarried(buffer_.data(), arrival.length);
    // Each socket serves one window: a datagram naming another is refused.
    if (carried && carried->window == window) deliver(window, *carried, arrival.reply);
    else closeDescriptor(arrival.reply);
  }
}

// A sent message whose window is gone, or that came without a socket for
// its answer, is not answered: closing the socket tells the asker so.
void PostOffice::deliver(HWND window, CarriedMessage& carried, int reply) {
  if (carried.kind == Delivery::posted) {
    closeDescriptor(reply);
    if (carried.message != WM_COPYDATA) PostMessageA(window, carried.message, carried.wParam, carried.lParam);
    return;
  }
  std::shared_ptr<Window> target = findWindow(window);
  std::shared_ptr<MessageQueue> queue = target ? target->queue.lock() : nullptr;
  if (!queue || reply < 0) {
    closeDescriptor(reply);
    return;
  }
  auto pending = std::make_unique<PendingAnswer>();
  pending->sent = std::make_shared<SentMessage>();
  pending->reply = reply;
  pending->data = std::move(carried.copyData);
  SentMessage& sent = *pending->sent;
  sent.window = window;
  sent.message = carried.message;
  sent.wParam = carried.wParam;
  sent.lParam = carried.lParam;
  if (carried.message == WM_COPYDATA) {
    pending->block = {static_cast<ULONG_PTR>(carried.lParam), static_cast<DWORD>(pending->data.size()),
                      pending->data.empty() ? nullptr : pending->data.data()};
    sent.lParam = reinterpret_cast<LPARAM>(&pending->block);
  }
  if (!sent.done.valid() || !queue->deliverSent(pending->sent)) {
    close(reply);
    return;
  }
  pending_.push_back(std::move(pending));
}

void PostOffice::answerFinished() {
  std::erase_if(pending_, [](const std::unique_ptr<PendingAnswer>& pending) {
    if (!pending->sent->done.isSet()) return false;
    answer(*pending);
    return true;
  });
}

// Never destroyed: its thread runs until the process ends.
PostOffice& postOffice() {
  static PostOffice* instance = new PostOffice;
  return *instance;
}

}  // namespace

bool publishWindow(HWND window, const std::string& className, const std::string& title) noexcept {
  try {
    return postOffice().publish(window, className, title);
  } catch (...) {
    return false;
  }
}

void withdrawWindow(HWND window) noexcept {
  try {
    postOffice().withdraw(window);
  } catch (...) {
  }
}

bool stillPublished(HWND window) noexcept { return postOffice().stillPublished(window); }

}  // namespace platform::detail
