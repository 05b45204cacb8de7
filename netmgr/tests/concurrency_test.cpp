// Several threads create and free entities and contexts while another
// validates handles, some of them already freed. Runs under ThreadSanitizer
// in the test command.
#include "netmgr_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using ConcurrentHandles = StartedLibrary;

TEST_F(ConcurrentHandles, CreateFreeAndValidateFromManyThreads) {
  constexpr int kWorkers = 4;
  constexpr int kRounds = 400;
  std::vector<HSNMP_ENTITY> stable;
  for (int i = 0; i < 8; ++i) stable.push_back(entity("10.1.1.1"));
  std::atomic<bool> done{false};
  std::atomic<long> failures{0};

  std::vector<std::thread> workers;
  for (int worker = 0; worker < kWorkers; ++worker) {
    workers.emplace_back([&] {
      for (int round = 0; round < kRounds; ++round) {
        HSNMP_ENTITY agent = SnmpStrToEntity(session, "127.0.0.1");
        smiOCTETS octets{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
        HSNMP_CONTEXT community = SnmpStrToContext(session, &octets);
        if (!agent || !community) failures.fetch_add(1);
        if (SnmpSetRetry(agent, round) != SNMPAPI_SUCCESS) failures.fetch_add(1);
        if (SnmpFreeEntity(agent) != SNMPAPI_SUCCESS) failures.fetch_add(1);
        if (SnmpFreeContext(community) != SNMPAPI_SUCCESS) failures.fetch_add(1);
      }
    });
  }
  // While the tables change under it, the validator must keep finding the
  // stable entities and keep refusing addresses that were never handles.
  std::thread validator([&] {
    int notAHandle = 0;
    for (int pass = 0; pass < 5000 && !done.load(); ++pass) {
      for (HSNMP_ENTITY agent : stable) {
        smiUINT32 policy = 0;
        if (SnmpGetRetry(agent, &policy, nullptr) != SNMPAPI_SUCCESS || policy != 4) failures.fetch_add(1);
      }
      if (SnmpSetRetry(&notAHandle, 1) != SNMPAPI_FAILURE) failures.fetch_add(1);
    }
  });
  for (auto& thread : workers) thread.join();
  done.store(true);
  validator.join();

  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::entity), 8);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::context), 0);
}

// Sessions encode and decode in parallel; they share only the heaps and
// the handle tables.
TEST_F(ConcurrentHandles, SessionsEncodeAndDecodeInParallel) {
  constexpr int kWorkers = 4;
  constexpr int kRounds = 150;
  std::atomic<long> failures{0};
  std::vector<std::thread> workers;
  for (int worker = 0; worker < kWorkers; ++worker) {
    workers.emplace_back([&, worker] {
      netmgr::Session* own = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
      HSNMP_ENTITY agent = SnmpStrToEntity(own, "127.0.0.1");
      smiOCTETS octets{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
      HSNMP_CONTEXT community = SnmpStrToContext(own, &octets);
      std::array<smiUINT32, 9> name{1, 3, 6, 1, 2, 1, 1, 1, 0};
      smiOID oid{static_cast<smiUINT32>(name.size()), name.data()};
      for (int round = 0; round < kRounds; ++round) {
        smiVALUE value{};
        value.syntax = SNMP_SYNTAX_INT;
        value.value.sNumber = worker * 1000 + round;
        HSNMP_VBL list = SnmpCreateVbl(own, &oid, &value);
        HSNMP_PDU pdu = SnmpCreatePdu(own, SNMP_PDU_RESPONSE, round + 1, 0, 0, list);
        smiOCTETS message{};
        HSNMP_ENTITY source = nullptr, destination = nullptr;
        HSNMP_CONTEXT context = nullptr;
        HSNMP_PDU decoded = nullptr;
        HSNMP_VBL decodedList = nullptr;
        if (SnmpEncodeMsg(own, agent, agent, community, pdu, &message) != SNMPAPI_SUCCESS ||
            SnmpDecodeMsg(own, &source, &destination, &context, &decoded, &message) != SNMPAPI_SUCCESS) {
          failures.fetch_add(1);
          continue;
        }
        smiOID readName{};
        smiVALUE readValue{};
        SnmpGetPduData(decoded, nullptr, nullptr, nullptr, nullptr, &decodedList);
        if (SnmpGetVb(decodedList, 1, &readName, &readValue) != SNMPAPI_SUCCESS ||
            readValue.value.sNumber != worker * 1000 + round) {
          failures.fetch_add(1);
        }
        SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&readName));
        SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
        SnmpFreeVbl(decodedList);
        SnmpFreePdu(decoded);
        SnmpFreeContext(context);
        SnmpFreeEntity(source);
        SnmpFreeEntity(destination);
        SnmpFreePdu(pdu);
        SnmpFreeVbl(list);
      }
      SnmpFreeEntity(agent);
      SnmpFreeContext(community);
    });
  }
  for (auto& thread : workers) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::pdu), 0);
  EXPECT_EQ(netmgr::countLive(netmgr::ObjectKind::list), 0);
  EXPECT_EQ(netmgr::heapOf(netmgr::ObjectKind::varbind).liveCount(), 0);
}

}  // namespace
