// The discovery window's range of targets and its wait.
#include "discover_window.h"

#include <gtest/gtest.h>

namespace netlens {
namespace {

QStringList addressesOf(const std::vector<DiscoveryTarget>& targets) {
  QStringList addresses;
  for (const DiscoveryTarget& target : targets) addresses << target.address;
  return addresses;
}

TEST(DiscoveryTargets, TakeTheNetworkFromTheStartAndOnlyTheLastOctetFromTheStop) {
  std::vector<DiscoveryTarget> targets =
      discoveryTargets(QStringLiteral("10.0.0.5"), QStringLiteral("192.168.1.7"), 1161);
  EXPECT_EQ(addressesOf(targets), (QStringList{"10.0.0.5", "10.0.0.6", "10.0.0.7"}));
  ASSERT_EQ(targets.size(), 3u);
  EXPECT_EQ(targets[0].requestId, 100);
  EXPECT_EQ(targets[2].requestId, 102);
  EXPECT_EQ(targets[1].number, 0x0A000006u);
  for (const DiscoveryTarget& target : targets) {
    EXPECT_EQ(target.port, 1161u);
    EXPECT_TRUE(target.active);
    EXPECT_FALSE(target.answered);
    EXPECT_EQ(target.entity, nullptr);
  }
}

TEST(DiscoveryTargets, CoverAWholeNetworkAtMost) {
  std::vector<DiscoveryTarget> targets = discoveryTargets(QStringLiteral("10.1.2.0"), QStringLiteral("0.0.0.255"), 161);
  ASSERT_EQ(targets.size(), 256u);
  EXPECT_EQ(targets.front().address, QStringLiteral("10.1.2.0"));
  EXPECT_EQ(targets.back().address, QStringLiteral("10.1.2.255"));
  EXPECT_EQ(targets.back().requestId, 355);
}

TEST(DiscoveryTargets, NoneForADecreasingRangeOrTextThatIsNoAddress) {
  EXPECT_TRUE(discoveryTargets(QStringLiteral("10.0.0.9"), QStringLiteral("10.0.0.8"), 161).empty());
  EXPECT_TRUE(discoveryTargets(QStringLiteral("router"), QStringLiteral("10.0.0.8"), 161).empty());
  EXPECT_TRUE(discoveryTargets(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0"), 161).empty());
  EXPECT_EQ(discoveryTargets(QStringLiteral("10.0.0.8"), QStringLiteral("10.0.0.8"), 161).size(), 1u);
}

TEST(DiscoveryWait, LastsAsLongAsTheLastRequestMayBeRetried) {
  EXPECT_EQ(discoveryWaitTicks(4, 5), 250);
  EXPECT_EQ(discoveryWaitTicks(0, 1), 10);
  EXPECT_EQ(discoveryWaitTicks(4, 0), 10);
}

}  // namespace
}  // namespace netlens
