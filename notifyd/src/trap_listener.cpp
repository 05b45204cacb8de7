// Reading the trap port.
#include "trap_listener.h"

#include "inform_answer.h"

#include "notifyd/trap_server.h"
#include "platform/process_windows.h"
#include "platform/tick.h"
#include "platform/waits.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <unistd.h>

namespace notifyd {
namespace {

// Large enough for a burst of traps while the server thread is busy; the
// system may grant less.
constexpr int kWantedReceiveBuffer = 4 * 1024 * 1024;
// How often the reader looks whether the server can still be found.
constexpr int kPublicationCheckMilliseconds = 1000;
// Datagrams taken in one go before the stop pipe is looked at again.
constexpr int kDatagramsPerTurn = 256;

}  // namespace

TrapListener::TrapListener() : buffer_(65536) {}

TrapListener::~TrapListener() {
  if (reader_.joinable()) {
    requestStop();
    reader_.join();
  }
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  for (int end : stopPipe_)
    if (end >= 0) close(end);
}

bool TrapListener::open(const ServerOptions& options, std::string& error) {
  if (pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(options.port);
  inet_pton(AF_INET, options.address.c_str(), &address.sin_addr);
  if (socket_ == INVALID_SOCKET || bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    error = "cannot receive on " + options.address + ":" + std::to_string(options.port) + ": " +
            std::strerror(errno);
    return false;
  }
  setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &kWantedReceiveBuffer, sizeof kWantedReceiveBuffer);
  return true;
}

int TrapListener::receiveBuffer() const {
  int size = 0;
  socklen_t length = sizeof size;
  getsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &size, &length);
  return size;
}

bool TrapListener::start(DWORD serverThread, HWND window) {
  try {
    reader_ = std::thread(&TrapListener::read, this, serverThread, window);
  } catch (...) {
    return false;
  }
  return true;
}

void TrapListener::requestStop() {
  char one = 1;
  [[maybe_unused]] ssize_t written = write(stopPipe_[1], &one, 1);
}

void TrapListener::join() {
  if (reader_.joinable()) reader_.join();
}

void TrapListener::read(DWORD serverThread, HWND window) {
  WSAPOLLFD watched[2] = {{socket_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
  uint64_t lastCheck = GetTickCount64();
  for (;;) {
    int ready = WSAPoll(watched, 2, kPublicationCheckMilliseconds);
    if (ready < 0 && errno != EINTR) break;
    if (watched[1].revents) break;
    if (watched[0].revents) takeDatagrams(serverThread);
    if (GetTickCount64() - lastCheck >= kPublicationCheckMilliseconds) {
      lastCheck = GetTickCount64();
      // Nobody can find the server any more: a test's runtime folder was
      // removed, or the user's was cleared at logout.
      if (!platform::windowStillPublished(window)) {
        std::fprintf(stderr, "notifyd: its entry in the runtime folder is gone; stopping\n");
        break;
      }
    }
  }
  while (!PostThreadMessage(serverThread, kStopMessage, 0, 0)) Sleep(10);
}

// Answered at once, from the port the inform came to, before its record
// waits for the server thread: the sender's retransmission timer is short.
void TrapListener::answerIfInform(size_t length, const sockaddr_in& sender) {
  if (!answerInform(buffer_.data(), length, answer_)) return;
  sendto(socket_, answer_.data(), answer_.size(), 0, reinterpret_cast<const sockaddr*>(&sender), sizeof sender);
}

void TrapListener::takeDatagrams(DWORD serverThread) {
  for (int turn = 0; turn < kDatagramsPerTurn; ++turn) {
    sockaddr_in sender{};
    socklen_t senderLength = sizeof sender;
    ssize_t length = recvfrom(socket_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                              reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (length < 0) return;
    received_.fetch_add(1);
    answerIfInform(static_cast<size_t>(length), sender);
    if (waiting_.load() >= kMostWaiting) {
      dropped_.fetch_add(1);
      continue;
    }
    uint8_t address[4], port[2];
    std::memcpy(address, &sender.sin_addr, sizeof address);
    std::memcpy(port, &sender.sin_port, sizeof port);
    Record* record = nullptr;
    try {
      record = new Record{trapserver::buildRecord(address, buffer_.data(), static_cast<size_t>(length), port)};
    } catch (...) {
      dropped_.fetch_add(1);
      continue;
    }
    waiting_.fetch_add(1);
    if (!PostThreadMessage(serverThread, kRecordMessage, 0, reinterpret_cast<LPARAM>(record))) {
      waiting_.fetch_sub(1);
      dropped_.fetch_add(1);
      delete record;
    }
  }
}

}  // namespace notifyd
