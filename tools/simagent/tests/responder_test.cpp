#include "faults.h"
#include "responder.h"

#include <gtest/gtest.h>

namespace simagent {
namespace {

Value integer(int64_t number) {
  Value value;
  value.syntax = 0x02;
  value.number = number;
  return value;
}

Value text(const std::string& octets) {
  Value value;
  value.syntax = 0x04;
  value.octets = octets;
  return value;
}

class Responder : public testing::Test {
 protected:
  void SetUp() override {
    view.put(descr, text("agent"), false);
    view.put(contact, text("nobody"), true);
    view.put(ifNumber, integer(2), false);
  }
  Request request(uint8_t type, std::vector<VarBind> bindings) { return Request{type, 7, "c", bindings}; }

  const Oid descr{1, 3, 6, 1, 2, 1, 1, 1, 0}, contact{1, 3, 6, 1, 2, 1, 1, 4, 0}, ifNumber{1, 3, 6, 1, 2, 1, 2, 1, 0};
  MibView view;
};

TEST_F(Responder, GetAnswersPresentInstancesAndNoSuchNameOtherwise) {
  auto response = answer(request(kGetRequest, {{descr, {}}, {ifNumber, {}}}), view, Access::readOnly);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->requestId, 7);
  EXPECT_EQ(response->errorStatus, 0);
  EXPECT_EQ(response->bindings[1].value.number, 2);
  auto missing = answer(request(kGetRequest, {{descr, {}}, {{1, 3, 6, 1, 2, 1, 1, 1}, {}}}), view, Access::readOnly);
  EXPECT_EQ(missing->errorStatus, kNoSuchName);
  EXPECT_EQ(missing->errorIndex, 2);
  EXPECT_EQ(missing->bindings[1].name, (Oid{1, 3, 6, 1, 2, 1, 1, 1}));
}

TEST_F(Responder, GetNextWalksInOrderAndEndsWithNoSuchName) {
  Oid at{1, 3, 6, 1};
  std::vector<Oid> walked;
  for (int step = 0; step < 10; ++step) {
    auto response = answer(request(kGetNextRequest, {{at, {}}}), view, Access::readOnly);
    if (response->errorStatus) {
      EXPECT_EQ(response->errorStatus, kNoSuchName);
      EXPECT_EQ(response->errorIndex, 1);
      break;
    }
    at = response->bindings[0].name;
    walked.push_back(at);
  }
  EXPECT_EQ(walked, (std::vector<Oid>{descr, contact, ifNumber}));
}

TEST_F(Responder, SetNeedsAReadWriteCommunityAWritableObjectAndItsType) {
  EXPECT_EQ(answer(request(kSetRequest, {{contact, text("me")}}), view, Access::readOnly)->errorStatus, kNoSuchName);
  EXPECT_EQ(answer(request(kSetRequest, {{descr, text("me")}}), view, Access::readWrite)->errorStatus, kNoSuchName);
  EXPECT_EQ(answer(request(kSetRequest, {{contact, integer(1)}}), view, Access::readWrite)->errorStatus, kBadValue);
  EXPECT_EQ(view.get(contact)->octets, "nobody");
  auto done = answer(request(kSetRequest, {{contact, text("me")}}), view, Access::readWrite);
  EXPECT_EQ(done->errorStatus, 0);
  EXPECT_EQ(view.get(contact)->octets, "me");
}

TEST_F(Responder, SetChangesAllOrNothing) {
  auto response = answer(request(kSetRequest, {{contact, text("new")}, {descr, text("x")}}), view, Access::readWrite);
  EXPECT_EQ(response->errorIndex, 2);
  EXPECT_EQ(view.get(contact)->octets, "nobody");
}

TEST_F(Responder, UnknownCommunitiesAndNonRequestsGetNoAnswer) {
  EXPECT_FALSE(answer(request(kGetRequest, {{descr, {}}}), view, Access::none));
  EXPECT_FALSE(answer(request(kResponse, {{descr, {}}}), view, Access::readWrite));
  EXPECT_FALSE(answer(request(0xA4, {{descr, {}}}), view, Access::readWrite));
}

TEST(Faults, DropEveryNthRequest) {
  FaultPlan plan;
  plan.dropEvery = 3;
  FaultInjector faults(plan);
  std::vector<bool> drops;
  for (int i = 0; i < 7; ++i) drops.push_back(faults.dropNext());
  EXPECT_EQ(drops, (std::vector<bool>{false, false, true, false, false, true, false}));
}

TEST(Faults, RandomDropsFollowTheSeedAndTheShare) {
  FaultPlan plan;
  plan.dropPercent = 30;
  plan.seed = 42;
  FaultInjector first(plan), second(plan);
  int dropped = 0;
  for (int i = 0; i < 1000; ++i) {
    bool drop = first.dropNext();
    EXPECT_EQ(drop, second.dropNext());
    dropped += drop;
  }
  EXPECT_GT(dropped, 200);
  EXPECT_LT(dropped, 400);
}

}  // namespace
}  // namespace simagent
