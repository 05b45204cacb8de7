#include "../src/block_heap.h"
#include "../src/destinations.h"
#include "socket_test_support.h"
#include "udpwire/datagram_socket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace udpwire_test;

// The session layer's use: the session as user value, the notification
// target and message as spares, a receive handler, and buffer callbacks
// that return 0 so the library keeps ownership of its buffers.
TEST(DatagramSocket, LoopbackExchangeReportsUserDataAndSender) {
  Inbox first, second;
  CDatagramSocket a(&first, reinterpret_cast<void*>(0x1234), 1025);
  CDatagramSocket b(&second, nullptr, 0);
  first.attach(a);
  second.attach(b);
  int portA = createOnFreePort(a);
  int portB = createOnFreePort(b);
  ASSERT_NE(portA, 0);
  ASSERT_NE(portB, 0);

  std::vector<char> octets{'h', 'e', 'l', 'l', 'o'};
  ASSERT_EQ(a.Write(static_cast<int>(octets.size()), octets.data(), "127.0.0.1", portB), 0);
  octets.assign(octets.size(), 'x');  // the socket holds its own copy
  ASSERT_TRUE(second.waitForReceived(1));
  ASSERT_TRUE(first.waitForSent(1));
  {
    std::lock_guard guard(second.lock);
    EXPECT_EQ(second.received[0].data, "hello");
    EXPECT_EQ(ntohs(second.received[0].sender.sin_port), portA);
    EXPECT_EQ(ntohl(second.received[0].sender.sin_addr.s_addr), INADDR_LOOPBACK);
    EXPECT_EQ(second.users, std::vector<void*>{&second});
  }
  {
    std::lock_guard guard(first.lock);
    EXPECT_EQ(first.sent.size(), 1u);
    EXPECT_EQ(first.users, std::vector<void*>{&first});
  }

  sockaddr_in back = loopback(portA);
  ASSERT_EQ(b.Write(5, const_cast<char*>("world"), &back), 0);
  ASSERT_TRUE(first.waitForReceived(1));
  std::lock_guard guard(first.lock);
  EXPECT_EQ(first.received[0].data, "world");
  EXPECT_EQ(ntohs(first.received[0].sender.sin_port), portB);
}

TEST(DatagramSocket, CallbackReturningNonzeroKeepsItsBuffer) {
  Inbox sender, receiver;
  sender.keepBuffers = 1;
  receiver.keepBuffers = 1;
  CDatagramSocket a(&sender, nullptr, 0), b(&receiver, nullptr, 0);
  sender.attach(a);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  ASSERT_EQ(a.CreateSocket(nullptr), 0);  // unbound: the system picks its port
  ASSERT_EQ(a.Write(4, const_cast<char*>("kept"), "127.0.0.1", portB), 0);
  ASSERT_TRUE(receiver.waitForReceived(1));
  ASSERT_TRUE(sender.waitForSent(1));

  void* receivedBuffer = receiver.received[0].buffer;
  void* sentBuffer = sender.sent[0];
  EXPECT_EQ(udpwire::blockCount(), 2);  // both buffers still belong to their owners
  EXPECT_EQ(std::memcmp(receivedBuffer, "kept", 4), 0);
  EXPECT_EQ(std::memcmp(sentBuffer, "kept", 4), 0);
  CDatagramSocket::ReleaseBuffer(receivedBuffer);
  CDatagramSocket::ReleaseBuffer(sentBuffer);
  EXPECT_EQ(udpwire::blockCount(), 0);
}

TEST(DatagramSocket, BuffersAreReleasedWhenCallbacksReturnZero) {
  Inbox sender, receiver;
  CDatagramSocket a(&sender, nullptr, 0), b(&receiver, nullptr, 0);
  sender.attach(a);
  receiver.attach(b);
  int portB = createOnFreePort(b);
  ASSERT_EQ(a.CreateSocket(nullptr), 0);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(a.Write(3, const_cast<char*>("abc"), "127.0.0.1", portB), 0);
  ASSERT_TRUE(receiver.waitForReceived(3));
  ASSERT_TRUE(sender.waitForSent(3));
  EXPECT_TRUE(receiver.waitUntil([] { return udpwire::blockCount() == 0; }));
}

TEST(DatagramSocket, CreationChecksItsStateAndPort) {
  Inbox inbox;
  CDatagramSocket socket(&inbox, nullptr, 0);
  EXPECT_EQ(socket.CreateSocket(0), 3);
  EXPECT_EQ(socket.CreateSocket(-5), 3);
  EXPECT_EQ(socket.CreateSocket(65536), 3);
  EXPECT_EQ(socket.DestroySocket(), 3);
  EXPECT_EQ(socket.Write(3, const_cast<char*>("abc"), "127.0.0.1", 9), 3);  // no socket yet
  ASSERT_NE(createOnFreePort(socket), 0);
  EXPECT_EQ(socket.CreateSocket(nullptr), 3);
  EXPECT_EQ(socket.DestroySocket(), 0);
  EXPECT_EQ(socket.DestroySocket(), 3);
}

TEST(DatagramSocket, DestroyedSocketCanBeCreatedAgain) {
  Inbox sender, receiver;
  CDatagramSocket a(&sender, nullptr, 0), b(&receiver, nullptr, 0);
  sender.attach(a);
  receiver.attach(b);
  ASSERT_NE(createOnFreePort(a), 0);
  int firstPort = createOnFreePort(b);
  ASSERT_EQ(b.DestroySocket(), 0);
  int secondPort = createOnFreePort(b);
  ASSERT_NE(secondPort, 0);
  EXPECT_EQ(a.Write(5, const_cast<char*>("again"), "127.0.0.1", secondPort), 0);
  ASSERT_TRUE(receiver.waitForReceived(1));
  EXPECT_EQ(receiver.received[0].data, "again");
  EXPECT_NE(firstPort, 0);
}

TEST(DatagramSocket, ServiceNamesComeFromTheServicesDatabase) {
  in_port_t port = 0;
  int error = 0;
  ASSERT_EQ(udpwire::resolvePort("snmp", &port, &error), 0);
  EXPECT_EQ(ntohs(port), 161);
  ASSERT_EQ(udpwire::resolvePort("162", &port, &error), 0);
  EXPECT_EQ(ntohs(port), 162);
  EXPECT_EQ(udpwire::resolvePort("70000", &port, &error), 3);

  Inbox inbox;
  CDatagramSocket socket(&inbox, nullptr, 0);
  EXPECT_EQ(socket.CreateSocket("no-such-service-here"), 2);
  EXPECT_NE(socket.LastError(), 0);
  EXPECT_EQ(socket.DestroySocket(), 3);  // nothing was left open
}

TEST(DatagramSocket, UnknownNamesInWriteGiveTwoAndQueueNothing) {
  Inbox inbox;
  CDatagramSocket socket(&inbox, nullptr, 0);
  inbox.attach(socket);
  ASSERT_EQ(socket.CreateSocket(nullptr), 0);
  // Empty labels make the resolver refuse the name without asking DNS.
  EXPECT_EQ(socket.Write(3, const_cast<char*>("abc"), "no..such..host", 9), 2);
  EXPECT_NE(socket.LastError(), 0);
  EXPECT_EQ(socket.Write(3, const_cast<char*>("abc"), "127.0.0.1", "no-such-service-here"), 2);
  EXPECT_EQ(udpwire::blockCount(), 0);
  EXPECT_EQ(inbox.sentCount(), 0u);
}

TEST(DatagramSocket, WritesLongerThanSixteenBitsAreRefused) {
  Inbox inbox;
  CDatagramSocket socket(&inbox, nullptr, 0);
  inbox.attach(socket);
  ASSERT_EQ(socket.CreateSocket(nullptr), 0);
  std::vector<char> large(65536, 'z');
  sockaddr_in to = loopback(9);
  EXPECT_EQ(socket.Write(65536, large.data(), &to), 3);
  EXPECT_EQ(socket.Write(0, large.data(), &to), 3);
  EXPECT_EQ(socket.Write(-1, large.data(), &to), 3);
  EXPECT_EQ(udpwire::blockCount(), 0);
  // The largest queued length is whole; IPv4 cannot carry it, so it fails.
  ASSERT_EQ(socket.Write(65535, large.data(), &to), 0);
  ASSERT_TRUE(inbox.waitForSent(1));
  EXPECT_EQ(inbox.failed.size(), 1u);
}

TEST(DatagramSocket, ClassRegisterListsLiveSockets) {
  auto* socket = new CDatagramSocket(nullptr, nullptr, 0);
  ASSERT_NE(socket, nullptr);
  ASSERT_NE(CDatagramSocket::gc_hTreeCDatagramSocket, nullptr);
  uintptr_t key = reinterpret_cast<uintptr_t>(socket);
  EXPECT_EQ(TreeFindItem(CDatagramSocket::gc_hTreeCDatagramSocket, TREE_FIND_BY_KEY, &key), socket);
  EXPECT_EQ(CDatagramSocket::gc_uNumAllocsInHeap, 1u);
  delete socket;
  EXPECT_EQ(TreeFindItem(CDatagramSocket::gc_hTreeCDatagramSocket, TREE_FIND_BY_KEY, &key), nullptr);
  EXPECT_EQ(CDatagramSocket::gc_uNumAllocsInHeap, 0u);
  CDatagramSocket::removeHeap();
  EXPECT_EQ(CDatagramSocket::gc_hHeap, nullptr);
}

}  // namespace
