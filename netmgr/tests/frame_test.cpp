#include "handles.h"
#include "netmgr_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(StartupAndCleanup, ReportsVersionLevelAndModes) {
  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  ASSERT_EQ(SnmpStartup(&major, &minor, &level, &translate, &retransmit), SNMPAPI_SUCCESS);
  EXPECT_EQ(major, 1u);
  EXPECT_EQ(minor, 1u);
  EXPECT_EQ(level, static_cast<smiUINT32>(SNMPAPI_V2_SUPPORT));
  EXPECT_EQ(translate, 1u);
  EXPECT_EQ(retransmit, 1u);
  EXPECT_EQ(SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V2), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, &translate, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(translate, 2u);
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  SnmpCleanup();
}

TEST(StartupAndCleanup, OneCleanupStopsEveryUser) {
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  smiUINT32 mode = 0;
  EXPECT_EQ(SnmpGetRetransmitMode(&mode), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_NOT_INITIALIZED);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_NOT_INITIALIZED);
}

TEST(StartupAndCleanup, ModesSurviveCleanup) {
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  SnmpSetRetransmitMode(SNMPAPI_OFF);
  SnmpCleanup();
  smiUINT32 retransmit = 9;
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, &retransmit);
  EXPECT_EQ(retransmit, 0u);
  SnmpSetRetransmitMode(SNMPAPI_ON);
  SnmpCleanup();
}

TEST(StartupAndCleanup, CyclesReleaseEveryObject) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    netmgr::Session* session = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
    ASSERT_NE(session, nullptr);
    for (int i = 0; i < 25; ++i) ASSERT_NE(SnmpStrToEntity(session, "10.0.0.1"), nullptr);
    smiOCTETS community{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
    ASSERT_NE(SnmpStrToContext(session, &community), nullptr);
    ASSERT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
    EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::entity).liveCount(), 0);
    EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::context).liveCount(), 0);
    EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::session).liveCount(), 0);
    EXPECT_EQ(SnmpStrToEntity(session, "10.0.0.1"), nullptr);
  }
}

TEST(StartupAndCleanup, EveryExportRefusesBeforeStartup) {
  smiUINT32 value = 0;
  char text[8];
  smiOCTETS octets{};
  int dummy = 0;
  EXPECT_EQ(SnmpGetTranslateMode(&value), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpSetTimeout(&dummy, 10), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpEntityToStr(&dummy, sizeof text, text), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpStrToContext(&dummy, &octets), nullptr);
  EXPECT_EQ(OvSnmpDebugOutputHandles(), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_NOT_INITIALIZED);
}

using ModesAndErrors = StartedLibrary;

TEST_F(ModesAndErrors, ModesOutsideTheirRangeAreRefused) {
  EXPECT_EQ(SnmpSetRetransmitMode(2), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_MODE_INVALID);
  EXPECT_EQ(SnmpSetTranslateMode(3), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_MODE_INVALID);
  smiUINT32 mode = 9;
  EXPECT_EQ(SnmpSetTranslateMode(SNMPAPI_TRANSLATED), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetTranslateMode(&mode), SNMPAPI_SUCCESS);
  EXPECT_EQ(mode, 0u);
  EXPECT_EQ(SnmpGetLastError(nullptr), 0u);
}

TEST_F(ModesAndErrors, EachHandleKindHasItsOwnError) {
  HSNMP_ENTITY anEntity = entity("10.0.0.1");
  HSNMP_CONTEXT aContext = context("public");
  smiUINT32 policy, actual;
  EXPECT_EQ(SnmpGetRetry(aContext, &policy, &actual), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ENTITY_INVALID);
  smiOCTETS out{};
  EXPECT_EQ(SnmpContextToStr(anEntity, &out), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_CONTEXT_INVALID);
  EXPECT_EQ(SnmpStrToEntity(anEntity, "x"), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
}

TEST_F(ModesAndErrors, UnregisteredHandlesAreNeverDereferenced) {
  // Addresses that would fault if read: validation must find them in a
  // table first.
  auto* wild = reinterpret_cast<HSNMP_ENTITY>(uintptr_t{0x10});
  EXPECT_EQ(SnmpSetRetry(wild, 1), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(SnmpStrToEntity(reinterpret_cast<HSNMP_SESSION>(uintptr_t{0x20}), "x"), nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
  EXPECT_EQ(SnmpFreeContext(nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_CONTEXT_INVALID);
}

TEST_F(ModesAndErrors, FailuresAreRecordedInTheOwningSession) {
  HSNMP_ENTITY anEntity = entity("10.0.0.1");
  char small[2];
  EXPECT_EQ(SnmpEntityToStr(anEntity, 1, small), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SIZE_INVALID);
  // A later success on the same session clears its error; a call that does
  // not touch the session leaves it alone.
  EXPECT_EQ(SnmpSetPort(anEntity, 1161), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetLastError(session), 0u);
  EXPECT_EQ(SnmpEntityToStr(anEntity, 1, small), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpSetRetransmitMode(7), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_MODE_INVALID);
}

TEST_F(ModesAndErrors, ObjectsOfAClosedSessionAreInvalid) {
  HSNMP_ENTITY anEntity = entity("10.0.0.1");
  EXPECT_EQ(SnmpSetRetry(anEntity, 1), SNMPAPI_SUCCESS);
  ASSERT_TRUE(netmgr::destroySession(session));
  EXPECT_EQ(SnmpSetRetry(anEntity, 1), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
  // A closed session's handle reads the global error.
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SESSION_INVALID);
  EXPECT_FALSE(netmgr::destroySession(session));
}

TEST_F(ModesAndErrors, DebugOutputCountsLiveHandles) {
  entity("10.0.0.1");
  entity("10.0.0.2");
  context("public");
  testing::internal::CaptureStderr();
  EXPECT_EQ(OvSnmpDebugOutputHandles(), SNMPAPI_SUCCESS);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(OvSnmpDebugSetLevel(1), SNMPAPI_SUCCESS);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OvSnmpDebugOutputHandles(), SNMPAPI_SUCCESS);
  std::string printed = testing::internal::GetCapturedStderr();
  OvSnmpDebugSetLevel(0);
  EXPECT_NE(printed.find("1 sessions, 2 entities, 1 contexts"), std::string::npos) << printed;
}

}  // namespace
