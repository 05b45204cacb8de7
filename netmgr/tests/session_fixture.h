// A started library and helpers for sending requests to an agent on a
// loopback port and waiting for what comes back.
#pragma once

#include "simulated_agent.h"
#include "winsnmp.h"

#include "platform/messages.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

struct Received {
  SNMPAPI_STATUS status = SNMPAPI_FAILURE;
  SNMPAPI_STATUS error = SNMPAPI_NOOP;  // the session's last error on failure
  HSNMP_ENTITY source = nullptr;
  HSNMP_ENTITY destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;
  std::chrono::milliseconds after{0};  // since the wait began
};

class SessionTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS); }
  void TearDown() override {
    SnmpSetRetransmitMode(SNMPAPI_ON);
    SnmpCleanup();
  }

  HSNMP_SESSION openPolled() {
    HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
    EXPECT_NE(session, nullptr);
    return session;
  }
  // An entity for 127.0.0.1:`port` with a timeout in centiseconds.
  HSNMP_ENTITY agentAt(HSNMP_SESSION session, uint16_t port, smiTIMETICKS timeout = 100, smiUINT32 retry = 1) {
    HSNMP_ENTITY entity = SnmpStrToEntity(session, "127.0.0.1");
    SnmpSetPort(entity, port);
    SnmpSetTimeout(entity, timeout);
    SnmpSetRetry(entity, retry);
    return entity;
  }
  HSNMP_CONTEXT community(HSNMP_SESSION session, const char* text) {
    smiOCTETS octets{static_cast<smiUINT32>(std::strlen(text)), reinterpret_cast<smiLPBYTE>(const_cast<char*>(text))};
    return SnmpStrToContext(session, &octets);
  }
  // A PDU of `type` asking for `oid` with a NULL value.
  HSNMP_PDU request(HSNMP_SESSION session, smiINT type, const char* oid, smiINT32 requestId = 0) {
    smiOID name{};
    SnmpStrToOid(oid, &name);
    smiVALUE null{};
    null.syntax = SNMP_SYNTAX_NULL;
    HSNMP_VBL list = SnmpCreateVbl(session, &name, &null);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
    return SnmpCreatePdu(session, type, requestId, 0, 0, list);
  }
  // Polls SnmpRecvMsg until something other than "nothing queued" comes.
  Received waitFor(HSNMP_SESSION session, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    Received received;
    auto begin = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - begin < timeout) {
      received.status = SnmpRecvMsg(session, &received.source, &received.destination, &received.context, &received.pdu);
      received.error = received.status ? 0 : SnmpGetLastError(session);
      if (received.status || received.error != SNMPAPI_NOOP) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    received.after = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    return received;
  }
  // The first binding's OID text and the PDU's error status of a response.
  static std::string firstName(HSNMP_PDU pdu, smiINT* errorStatus = nullptr, smiVALUE* value = nullptr) {
    HSNMP_VBL list = nullptr;
    smiINT type = 0, status = 0, index = 0;
    smiINT32 id = 0;
    SnmpGetPduData(pdu, &type, &id, &status, &index, &list);
    if (errorStatus) *errorStatus = status;
    smiOID name{};
    smiVALUE scratch{};
    if (SnmpGetVb(list, 1, &name, value ? value : &scratch) != SNMPAPI_SUCCESS) return "";
    char text[256] = {};
    SnmpOidToStr(&name, sizeof text, text);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
    return text;
  }
};
