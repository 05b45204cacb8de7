#include "udpwire/cwinsock.h"

#include <gtest/gtest.h>

namespace {

class SocketsLayer : public testing::Test {
 protected:
  void TearDown() override { CWinSock::gc_tlInitialized = 0; }
};

TEST_F(SocketsLayer, OnlyTheFirstStartupStartsTheLayer) {
  long before = platform::socketStartupCalls();
  CWinSock first(0x0101), second(0x0101);
  EXPECT_EQ(first.Startup(), 0);
  EXPECT_EQ(CWinSock::gc_tlInitialized, 1);
  EXPECT_EQ(second.Startup(), 0);
  EXPECT_EQ(platform::socketStartupCalls(), before + 1);

  EXPECT_EQ(second.Shutdown(), 0);
  EXPECT_EQ(CWinSock::gc_tlInitialized, 0);
  EXPECT_EQ(first.Startup(), 0);
  EXPECT_EQ(platform::socketStartupCalls(), before + 2);
}

TEST_F(SocketsLayer, FailedStartupKeepsItsErrorAndTriesAgainNextTime) {
  CWinSock sockets(0x0101);
  EXPECT_EQ(sockets.LastError(), 0);
  platform::failNextSocketStartup(10091);
  EXPECT_EQ(sockets.Startup(), 2);
  EXPECT_EQ(sockets.LastError(), 10091);
  EXPECT_EQ(CWinSock::gc_tlInitialized, 0);
  EXPECT_EQ(sockets.Startup(), 0);
  EXPECT_EQ(sockets.LastError(), 10091);  // kept until the next failure
}

TEST_F(SocketsLayer, FailedShutdownStillClearsTheFlag) {
  CWinSock sockets(0x0101);
  ASSERT_EQ(sockets.Startup(), 0);
  platform::failNextSocketCleanup(10093);
  EXPECT_EQ(sockets.Shutdown(), 2);
  EXPECT_EQ(sockets.LastError(), 10093);
  EXPECT_EQ(CWinSock::gc_tlInitialized, 0);
}

TEST_F(SocketsLayer, InformationReportsTheRequestedVersion) {
  CWinSock sockets(0x0101);
  ASSERT_EQ(sockets.Startup(), 0);
  WSADATA information{};
  sockets.Information(&information);
  EXPECT_EQ(information.wVersion, 0x0101);
}

TEST(CWinSockHeap, CountsInstancesAndRemovesTheHeap) {
  CWinSock* one = new CWinSock(0x0101);
  CWinSock* two = new CWinSock(0x0101);
  ASSERT_TRUE(one && two);
  EXPECT_EQ(CWinSock::gc_uNumAllocsInHeap, 2u);
  EXPECT_NE(CWinSock::gc_hHeap, nullptr);
  delete one;
  EXPECT_EQ(CWinSock::gc_uNumAllocsInHeap, 1u);
  CWinSock::removeHeap();  // releases `two` with the heap
  EXPECT_EQ(CWinSock::gc_hHeap, nullptr);
  EXPECT_EQ(CWinSock::gc_uNumAllocsInHeap, 0u);
  EXPECT_EQ(CWinSock::operator new(0), nullptr);
}

}  // namespace
