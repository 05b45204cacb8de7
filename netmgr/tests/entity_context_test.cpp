#include "descriptors.h"
#include "entity.h"
#include "netmgr_fixture.h"
#include "platform/heap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Entities = StartedLibrary;

TEST_F(Entities, StartWithFiveSecondsAndFourRetries) {
  HSNMP_ENTITY agent = entity("10.0.0.1");
  smiTIMETICKS policy = 0, actual = 0;
  smiUINT32 policyRetry = 0, actualRetry = 0;
  ASSERT_EQ(SnmpGetTimeout(agent, &policy, &actual), SNMPAPI_SUCCESS);
  EXPECT_EQ(policy, 500u);
  EXPECT_EQ(actual, 500u);
  ASSERT_EQ(SnmpGetRetry(agent, &policyRetry, &actualRetry), SNMPAPI_SUCCESS);
  EXPECT_EQ(policyRetry, 4u);
  EXPECT_EQ(actualRetry, 4u);
  EXPECT_EQ(SnmpGetTimeout(agent, nullptr, nullptr), SNMPAPI_SUCCESS);
}

TEST_F(Entities, TimeoutsConvertBetweenCentisecondsAndMilliseconds) {
  HSNMP_ENTITY agent = entity("10.0.0.1");
  struct Case {
    smiTIMETICKS given, reported;
  } cases[] = {{0, 10}, {7, 10}, {10, 10}, {11, 11}, {250, 250}, {0xFFFFFFFFu, 0xFFFFFFFFu / 10}};
  for (const Case& c : cases) {
    ASSERT_EQ(SnmpSetTimeout(agent, c.given), SNMPAPI_SUCCESS);
    smiTIMETICKS policy = 0;
    SnmpGetTimeout(agent, &policy, nullptr);
    EXPECT_EQ(policy, c.reported) << "given " << c.given;
  }
  auto* stored = reinterpret_cast<netmgr::Entity*>(agent);
  SnmpSetTimeout(agent, 7);
  EXPECT_EQ(stored->policyTimeout, 100u);
  SnmpSetTimeout(agent, 0xFFFFFFFFu);
  EXPECT_EQ(stored->policyTimeout, 0xFFFFFFFFu);  // clamped, not wrapped
}

TEST_F(Entities, RetryAndPortAreStoredAsGiven) {
  HSNMP_ENTITY agent = entity("agent.example");
  ASSERT_EQ(SnmpSetRetry(agent, 0), SNMPAPI_SUCCESS);
  smiUINT32 policy = 9, actual = 9;
  SnmpGetRetry(agent, &policy, &actual);
  EXPECT_EQ(policy, 0u);
  EXPECT_EQ(actual, 4u);
  ASSERT_EQ(SnmpSetPort(agent, 16161), SNMPAPI_SUCCESS);
  EXPECT_EQ(reinterpret_cast<netmgr::Entity*>(agent)->port, 16161);
  SnmpSetPort(agent, 0x10000 + 162);
  UINT port = 0;
  ASSERT_EQ(OvSnmpGetPort(agent, &port), SNMPAPI_SUCCESS);
  EXPECT_EQ(port, 162u);
  EXPECT_EQ(OvSnmpGetPort(agent, nullptr), SNMPAPI_FAILURE);
}

TEST_F(Entities, TextComesBackWholeOrTruncated) {
  HSNMP_ENTITY agent = entity("10.0.0.1");
  char buffer[32];
  ASSERT_EQ(SnmpEntityToStr(agent, sizeof buffer, buffer), SNMPAPI_SUCCESS);
  EXPECT_STREQ(buffer, "10.0.0.1");
  ASSERT_EQ(SnmpEntityToStr(agent, 9, buffer), SNMPAPI_SUCCESS);  // exactly fits
  EXPECT_STREQ(buffer, "10.0.0.1");
  EXPECT_EQ(SnmpEntityToStr(agent, 5, buffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OUTPUT_TRUNCATED);
  EXPECT_STREQ(buffer, "10.");
  EXPECT_EQ(SnmpEntityToStr(agent, 2, buffer), SNMPAPI_FAILURE);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(SnmpEntityToStr(agent, 1, buffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(SnmpEntityToStr(agent, sizeof buffer, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
}

TEST_F(Entities, TextIsKeptExactlyAsGiven) {
  std::string longName(300, 'h');
  HSNMP_ENTITY agent = entity(longName.c_str());
  std::string buffer(400, '\0');
  ASSERT_EQ(SnmpEntityToStr(agent, 400, buffer.data()), SNMPAPI_SUCCESS);
  EXPECT_EQ(std::string(buffer.c_str()), longName);

  HSNMP_ENTITY empty = entity("");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SnmpEntityToStr(empty, 400, buffer.data()), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(SnmpStrToEntity(session, nullptr), nullptr);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ENTITY_UNKNOWN);
}

TEST_F(Entities, FreedEntityIsInvalidAfterwards) {
  HSNMP_ENTITY agent = entity("10.0.0.1");
  EXPECT_EQ(SnmpFreeEntity(agent), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpFreeEntity(agent), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::entity).liveCount(), 0);
}

TEST_F(Entities, OutOfMemoryGivesError2AndLeavesNothing) {
  for (long allowed = 0; allowed < 3; ++allowed) {
    platform::failAllocationAfter(allowed);
    HSNMP_ENTITY agent = entity("10.0.0.1");
    platform::failAllocationAfter(-1);
    if (agent) {
      SnmpFreeEntity(agent);
      continue;
    }
    EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ALLOC_ERROR);
    EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::entity).liveCount(), 0);
  }
}

using Contexts = StartedLibrary;

TEST_F(Contexts, CommunityOctetsRoundTripThroughADescriptor) {
  const smiBYTE octets[] = {'p', 0, 'b', 0xFF};
  smiOCTETS community{sizeof octets, const_cast<smiLPBYTE>(octets)};
  HSNMP_CONTEXT handle = SnmpStrToContext(session, &community);
  ASSERT_NE(handle, nullptr);
  smiOCTETS out{};
  long before = netmgr::liveDescriptors();
  ASSERT_EQ(SnmpContextToStr(handle, &out), SNMPAPI_SUCCESS);
  ASSERT_EQ(out.len, sizeof octets);
  EXPECT_EQ(std::memcmp(out.ptr, octets, sizeof octets), 0);
  EXPECT_NE(out.ptr, community.ptr);
  EXPECT_EQ(netmgr::liveDescriptors(), before + 1);
  EXPECT_TRUE(netmgr::releaseDescriptor(out.ptr));
  EXPECT_EQ(SnmpFreeContext(handle), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpFreeContext(handle), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_CONTEXT_INVALID);
}

TEST_F(Contexts, EmptyCommunityIsAllowed) {
  smiOCTETS community{0, nullptr};
  HSNMP_CONTEXT handle = SnmpStrToContext(session, &community);
  ASSERT_NE(handle, nullptr);
  smiOCTETS out{5, reinterpret_cast<smiLPBYTE>(&out)};
  ASSERT_EQ(SnmpContextToStr(handle, &out), SNMPAPI_SUCCESS);
  EXPECT_EQ(out.len, 0u);
  EXPECT_EQ(out.ptr, nullptr);
}

TEST_F(Contexts, MissingDescriptorsAreRefused) {
  EXPECT_EQ(SnmpStrToContext(session, nullptr), nullptr);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_CONTEXT_UNKNOWN);
  smiOCTETS lying{4, nullptr};
  EXPECT_EQ(SnmpStrToContext(session, &lying), nullptr);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_CONTEXT_UNKNOWN);
  HSNMP_CONTEXT handle = context("public");
  EXPECT_EQ(SnmpContextToStr(handle, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_NO_OUTPUT_DESCRIPTOR);
}

TEST_F(Contexts, OutOfMemoryGivesError2) {
  HSNMP_CONTEXT handle = context("public");
  platform::failAllocationAfter(0);
  smiOCTETS out{};
  EXPECT_EQ(SnmpContextToStr(handle, &out), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ALLOC_ERROR);
  platform::failAllocationAfter(0);
  EXPECT_EQ(context("private"), nullptr);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ALLOC_ERROR);
}

}  // namespace
