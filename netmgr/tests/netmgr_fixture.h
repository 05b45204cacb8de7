// A started library with one session, for the tests of the library frame.
#pragma once

#include "session.h"
#include "winsnmp.h"

#include <gtest/gtest.h>

#include <cstring>

class StartedLibrary : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    session = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
    ASSERT_NE(session, nullptr);
  }
  void TearDown() override {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    SnmpSetRetransmitMode(SNMPAPI_ON);
    SnmpCleanup();
  }

  HSNMP_ENTITY entity(const char* address) { return SnmpStrToEntity(session, address); }
  HSNMP_CONTEXT context(const char* community) {
    smiOCTETS octets{static_cast<smiUINT32>(std::strlen(community)),
                     reinterpret_cast<smiLPBYTE>(const_cast<char*>(community))};
    return SnmpStrToContext(session, &octets);
  }

  netmgr::Session* session = nullptr;
};
