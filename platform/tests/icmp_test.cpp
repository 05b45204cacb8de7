// ICMP echo to the loopback host: the reply's fields, and the errors a
// caller can cause. Without the right to open an ICMP socket (neither
// ping_group_range nor CAP_NET_RAW) the echo tests skip; the refusal
// itself must still be a clean error.
#include "platform/errors.h"
#include "platform/icmp.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>
#include <vector>

namespace {

class IcmpEcho : public testing::Test {
 protected:
  void SetUp() override {
    handle_ = IcmpCreateFile();
    if (handle_ == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      EXPECT_NE(error, ERROR_SUCCESS);
      GTEST_SKIP() << "no ICMP socket for this user (error " << error << ")";
    }
  }
  void TearDown() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(IcmpCloseHandle(handle_));
    }
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  const IPAddr loopback_ = htonl(INADDR_LOOPBACK);
};

TEST_F(IcmpEcho, LoopbackRepliesWithTheDataSent) {
  const char data[] = "echo data of forty bytes, with a tail!!";
  IP_OPTION_INFORMATION options{32, 0, IP_FLAG_DF, 0, nullptr};
  std::vector<unsigned char> buffer(1500);
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(IcmpSendEcho(handle_, loopback_, const_cast<char*>(data), sizeof data, &options, buffer.data(),
                           static_cast<DWORD>(buffer.size()), 5000),
              1u)
        << "error " << GetLastError();
    auto* reply = reinterpret_cast<ICMP_ECHO_REPLY*>(buffer.data());
    EXPECT_EQ(reply->Status, static_cast<ULONG>(IP_SUCCESS));
    EXPECT_EQ(reply->Address, loopback_);
    ASSERT_EQ(reply->DataSize, sizeof data);
    EXPECT_EQ(std::memcmp(reply->Data, data, sizeof data), 0);
    EXPECT_GT(reply->Options.Ttl, 0);
    // The data lies in the caller's buffer, after the reply.
    EXPECT_EQ(reply->Data, buffer.data() + sizeof(ICMP_ECHO_REPLY));
  }
}

TEST_F(IcmpEcho, CallerErrorsFailWithTheirCode) {
  char data[64] = {};
  std::vector<unsigned char> buffer(sizeof(ICMP_ECHO_REPLY) + sizeof data);
  EXPECT_EQ(IcmpSendEcho(handle_, loopback_, data, sizeof data, nullptr, buffer.data(),
                         static_cast<DWORD>(buffer.size()), 1000),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(IP_BUF_TOO_SMALL));
  EXPECT_EQ(IcmpSendEcho(handle_, loopback_, nullptr, sizeof data, nullptr, buffer.data(),
                         static_cast<DWORD>(buffer.size()), 1000),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  int notAHandle = 0;
  EXPECT_EQ(IcmpSendEcho(&notAHandle, loopback_, data, sizeof data, nullptr, buffer.data(),
                         static_cast<DWORD>(buffer.size()), 1000),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(IcmpHandle, ClosesOnceAndRefusesWhatItDidNotOpen) {
  int notAHandle = 0;
  EXPECT_FALSE(IcmpCloseHandle(&notAHandle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HANDLE handle = IcmpCreateFile();
  if (handle == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no ICMP socket for this user";
  EXPECT_TRUE(IcmpCloseHandle(handle));
  EXPECT_FALSE(IcmpCloseHandle(handle));
}

}  // namespace
