// Closing a socket leaves its port free at once: a socket destroyed and
// created again on the same port never finds it in use, however often,
// and each new socket is served as the first was.
#include "socket_test_support.h"
#include "udpwire/datagram_socket.h"

#include <gtest/gtest.h>

namespace {

using namespace udpwire_test;

TEST(SocketReopening, DestroyAndCreateOnOnePortAThousandTimes) {
  Inbox reopenedInbox, bystanderInbox;
  CDatagramSocket reopened(&reopenedInbox, nullptr, 0);
  CDatagramSocket bystander(&bystanderInbox, nullptr, 0);
  reopenedInbox.attach(reopened);
  bystanderInbox.attach(bystander);
  int port = createOnFreePort(reopened);
  int bystanderPort = createOnFreePort(bystander);
  ASSERT_NE(port, 0);
  ASSERT_NE(bystanderPort, 0);

  // Now and then the new socket must get what the other one sends it.
  size_t checks = 0;
  sockaddr_in toReopened = loopback(port);
  for (int round = 0; round < 1000; ++round) {
    ASSERT_EQ(reopened.DestroySocket(), 0);
    ASSERT_EQ(reopened.CreateSocket(port), 0) << "round " << round << ", error " << reopened.LastError();
    if (round % 100 == 99) {
      ASSERT_EQ(bystander.Write(4, const_cast<char*>("ping"), &toReopened), 0);
      ASSERT_TRUE(reopenedInbox.waitForReceived(++checks)) << "round " << round;
    }
  }
  sockaddr_in toBystander = loopback(bystanderPort);
  ASSERT_EQ(reopened.Write(4, const_cast<char*>("pong"), &toBystander), 0);
  EXPECT_TRUE(bystanderInbox.waitForReceived(1));
}

}  // namespace
