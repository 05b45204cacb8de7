// Helpers for loopback tests of CDatagramSocket: an inbox that records
// what the callbacks saw, and creation on a free local port.
#pragma once

#include "platform/waits.h"
#include "udpwire/datagram_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace udpwire_test {

constexpr DWORD kPatience = 10000;

struct Datagram {
  std::string data;
  sockaddr_in sender;
  void* buffer;
};

// Passed as the socket's user value; every callback records into it.
struct Inbox {
  std::mutex lock;
  std::vector<Datagram> received;
  std::vector<void*> sent;
  std::vector<void*> failed;
  std::vector<void*> users;  // the user value each callback was given
  std::atomic<int> receiveErrors{0};
  int keepBuffers = 0;  // what the buffer callbacks return
  HANDLE changed = CreateEvent(nullptr, FALSE, FALSE, nullptr);

  ~Inbox() { CloseHandle(changed); }

  size_t receivedCount() {
    std::lock_guard guard(lock);
    return received.size();
  }
  size_t sentCount() {
    std::lock_guard guard(lock);
    return sent.size() + failed.size();
  }
  // Waits until `condition` holds; false when it does not within kPatience.
  template <class Condition>
  bool waitUntil(Condition condition) {
    for (int round = 0; round < 100; ++round) {
      if (condition()) return true;
      WaitForSingleObject(changed, kPatience / 100);
    }
    return condition();
  }
  bool waitForReceived(size_t count) {
    return waitUntil([&] { return receivedCount() >= count; });
  }
  bool waitForSent(size_t count) {
    return waitUntil([&] { return sentCount() >= count; });
  }

  static int WINAPI onReceived(void* user, void* data, unsigned long length, sockaddr_in* sender) {
    auto* inbox = static_cast<Inbox*>(user);
    std::lock_guard guard(inbox->lock);
    inbox->received.push_back({std::string(static_cast<char*>(data), length), *sender, data});
    inbox->users.push_back(user);
    SetEvent(inbox->changed);
    return inbox->keepBuffers;
  }
  static int WINAPI onSent(void* user, void* data) {
    auto* inbox = static_cast<Inbox*>(user);
    std::lock_guard guard(inbox->lock);
    inbox->sent.push_back(data);
    inbox->users.push_back(user);
    SetEvent(inbox->changed);
    return inbox->keepBuffers;
  }
  static int WINAPI onSendFailed(void* user, void* data) {
    auto* inbox = static_cast<Inbox*>(user);
    std::lock_guard guard(inbox->lock);
    inbox->failed.push_back(data);
    inbox->users.push_back(user);
    SetEvent(inbox->changed);
    return inbox->keepBuffers;
  }
  static int WINAPI onReceiveError(void* user) {
    auto* inbox = static_cast<Inbox*>(user);
    inbox->receiveErrors += 1;
    SetEvent(inbox->changed);
    return 0;
  }

  void attach(CDatagramSocket& socket) {
    socket.OnReceived = onReceived;
    socket.OnSent = onSent;
    socket.OnSendFailed = onSendFailed;
    socket.OnReceiveError = onReceiveError;
  }
};

// Creates the socket on a free port, as the session layer does: try ports
// until one binds. Returns the port, 0 when none did.
inline int createOnFreePort(CDatagramSocket& socket) {
  static const bool seeded = (std::srand(static_cast<unsigned>(getpid())), true);
  (void)seeded;
  int start = 20000 + std::rand() % 30000;
  for (int port = start; port < start + 500; ++port)
    if (socket.CreateSocket(port) == 0) return port;
  return 0;
}

inline sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace udpwire_test
