// The Ping tab's line for each outcome of an echo request.
#include "ping_run.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace netlens {
namespace {

ICMP_ECHO_REPLY replyFrom(const char* address, ULONG roundTrip, USHORT size, BYTE ttl) {
  ICMP_ECHO_REPLY reply{};
  inet_pton(AF_INET, address, &reply.Address);
  reply.RoundTripTime = roundTrip;
  reply.DataSize = size;
  reply.Options.Ttl = ttl;
  return reply;
}

TEST(PingLines, RepliesShowAddressSizeTimeAndTtl) {
  EXPECT_EQ(replyLine(1, replyFrom("10.20.30.40", 17, 32, 250), 0),
            "Reply from 10.20.30.40: bytes=32, time=17ms, TTL=250");
  // Below the clock's resolution.
  EXPECT_EQ(replyLine(1, replyFrom("127.0.0.1", 0, 1400, 64), 0),
            "Reply from 127.0.0.1: bytes=1400, time<10ms, TTL=64");
}

TEST(PingLines, FailuresSayWhatHappened) {
  ICMP_ECHO_REPLY none{};
  EXPECT_EQ(replyLine(0, none, IP_PACKET_TOO_BIG), "Packet needs to be fragmented but DF set.");
  EXPECT_EQ(replyLine(0, none, IP_REQ_TIMED_OUT), "Request timed out.");
  EXPECT_EQ(replyLine(0, none, IP_DEST_HOST_UNREACHABLE), "Error: 11003");
}

}  // namespace
}  // namespace netlens
