#include "timer_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace netmgr {
namespace {

const Session* const kSessionA = reinterpret_cast<const Session*>(uintptr_t{0x100});
const Session* const kSessionB = reinterpret_cast<const Session*>(uintptr_t{0x200});

class Timers : public testing::Test {
 protected:
  void add(uint32_t delay, int tag, const Session* session = kSessionA, const void* entity = nullptr) {
    bool wasEmpty = false;
    ASSERT_EQ(list.add(delay, {nullptr, &tags[tag]}, entity, session, tag, 0, wasEmpty), 0u);
  }
  // Advances the clock and returns the tags of the entries that fell due.
  std::vector<int> advance(uint32_t elapsed) {
    std::vector<int> fired;
    TimerList::consume(list.takeDue(elapsed), [&](TimerEntry& entry) { fired.push_back(tagOf(entry)); });
    return fired;
  }

  int tagOf(const TimerEntry& entry) const { return static_cast<int>(static_cast<int*>(entry.task.argument) - tags); }
  std::vector<int> tagsOf(TimerEntry* chain) {
    std::vector<int> found;
    TimerList::consume(chain, [&](TimerEntry& entry) { found.push_back(tagOf(entry)); });
    return found;
  }

  TimerList list;
  int tags[10] = {};
};

TEST_F(Timers, FireInDueOrderWithTiesInArrivalOrder) {
  add(300, 0);
  add(100, 1);
  add(300, 2);
  add(200, 3);
  EXPECT_EQ(advance(99), std::vector<int>{});
  EXPECT_EQ(advance(1), std::vector<int>{1});
  EXPECT_EQ(advance(150), std::vector<int>{3});
  EXPECT_EQ(advance(50), (std::vector<int>{0, 2}));
  EXPECT_TRUE(list.empty());
}

TEST_F(Timers, TellTheCallerWhenTheListWasEmpty) {
  bool wasEmpty = false;
  ASSERT_EQ(list.add(10, {nullptr, nullptr}, nullptr, kSessionA, 1, 0, wasEmpty), 0u);
  EXPECT_TRUE(wasEmpty);
  ASSERT_EQ(list.add(10, {nullptr, nullptr}, nullptr, kSessionA, 2, 0, wasEmpty), 0u);
  EXPECT_FALSE(wasEmpty);
  TimerList::consume(list.clear(), [](TimerEntry&) {});
}

TEST_F(Timers, WithdrawingByRequestKeepsTheOthersOnTime) {
  add(100, 0);
  add(200, 1);
  add(300, 2);
  Withdrawn withdrawn{};
  ASSERT_EQ(list.withdrawRequest(kSessionA, 1, 0, withdrawn), Withdrawal::withdrawn);
  EXPECT_EQ(withdrawn.argument, &tags[1]);
  EXPECT_EQ(list.withdrawRequest(kSessionA, 1, 0, withdrawn), Withdrawal::none);
  EXPECT_EQ(advance(100), std::vector<int>{0});
  EXPECT_EQ(advance(199), std::vector<int>{});
  EXPECT_EQ(advance(1), std::vector<int>{2});
}

TEST_F(Timers, RequestIdsAreMatchedWithinTheirSessionOnly) {
  add(100, 4, kSessionA);
  add(100, 4, kSessionB);
  Withdrawn withdrawn{};
  ASSERT_EQ(list.withdrawRequest(kSessionB, 4, 0, withdrawn), Withdrawal::withdrawn);
  EXPECT_EQ(list.size(), 1u);
  ASSERT_EQ(list.withdrawRequest(kSessionA, 4, 0, withdrawn), Withdrawal::withdrawn);
  EXPECT_EQ(list.withdrawRequest(kSessionA, 4, 0, withdrawn), Withdrawal::none);
}

// An answer in another message version leaves the request waiting for
// its own answer.
TEST_F(Timers, AnAnswerOfAnotherVersionLeavesTheRequestWaiting) {
  add(100, 4, kSessionA);
  Withdrawn withdrawn{};
  EXPECT_EQ(list.withdrawRequest(kSessionA, 4, 1, withdrawn), Withdrawal::otherVersion);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(list.withdrawRequest(kSessionA, 4, 0, withdrawn), Withdrawal::withdrawn);
}

TEST_F(Timers, WithdrawingAnEntityEndsAllItsEntries) {
  int entity = 0, other = 0;
  add(100, 0, kSessionA, &entity);
  add(150, 1, kSessionA, &other);
  add(200, 2, kSessionA, &entity);
  EXPECT_EQ(tagsOf(list.withdrawEntity(&entity)), (std::vector<int>{0, 2}));
  EXPECT_EQ(advance(149), std::vector<int>{});
  EXPECT_EQ(advance(1), std::vector<int>{1});
}

}  // namespace
}  // namespace netmgr
