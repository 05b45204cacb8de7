// Messages that net-snmp's tools send, decoded field by field: the
// committed fixtures, and the same requests sent live by the installed
// tools to a loopback port nobody answers.
#include "codec.h"
#include "codec_fixture.h"
#include "loopback_listener.h"
#include "required_peer.h"
#include "net_snmp_requests.h"
#include "pcap_file.h"
#include "pdu.h"
#include "peer_tools.h"
#include "tshark_dissection.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

namespace {

struct ExpectedBinding {
  Parts name;
  smiUINT32 syntax;
  std::string value;  // as rendered by render()
};

struct ExpectedMessage {
  bool trap = false;  // converted to a notification rather than decoded
  smiINT type;
  std::string community;
  smiINT32 fixtureRequestId;  // the id in the committed fixture (requests only)
  std::vector<ExpectedBinding> bindings;
};

const Parts kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3, 0};
const Parts kSnmpTrapOid{1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
const Parts kSnmpTrapEnterprise{1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0};

const std::map<std::string, ExpectedMessage>& expectations() {
  static const std::map<std::string, ExpectedMessage> table = {
      {"snmpget-v1",
       {false, SNMP_PDU_GET, "public", 50643059,
        {{{1, 3, 6, 1, 2, 1, 1, 1, 0}, SNMP_SYNTAX_NULL, ""}, {{1, 3, 6, 1, 2, 1, 1, 3, 0}, SNMP_SYNTAX_NULL, ""}}}},
      {"snmpgetnext-v1",
       {false, SNMP_PDU_GETNEXT, "public", 1940715423, {{{1, 3, 6, 1, 2, 1, 2, 2, 1, 2}, SNMP_SYNTAX_NULL, ""}}}},
      {"snmpset-v1",
       {false, SNMP_PDU_SET, "private", 824674588,
        {{{1, 3, 6, 1, 2, 1, 1, 4, 0}, SNMP_SYNTAX_OCTETS, "ops@example"},
         {{1, 3, 6, 1, 2, 1, 2, 2, 1, 7, 1}, SNMP_SYNTAX_INT, "-2"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 1}, SNMP_SYNTAX_GAUGE32, "4294967295"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 2}, SNMP_SYNTAX_TIMETICKS, "360000"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 3}, SNMP_SYNTAX_IPADDR, "\xC0\xA8\x01\x02"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 4}, SNMP_SYNTAX_OID, "1.3.6.1.4.1.27182"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 5}, SNMP_SYNTAX_OCTETS, "\xDE\xAD\xBE\xEF"}}}},
      {"snmptrap-v1-enterprise",
       {true, SNMP_PDU_TRAP, "public", 0,
        {{kSysUpTime, SNMP_SYNTAX_TIMETICKS, "1234"},
         {kSnmpTrapOid, SNMP_SYNTAX_OID, "1.3.6.1.4.1.27182.0.0.5"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 1}, SNMP_SYNTAX_OCTETS, "disk full"},
         {{1, 3, 6, 1, 4, 1, 27182, 1, 2}, SNMP_SYNTAX_INT, "90"},
         {kSnmpTrapEnterprise, SNMP_SYNTAX_OID, "1.3.6.1.4.1.27182"}}}},
      {"snmptrap-v1-linkup",
       {true, SNMP_PDU_TRAP, "traps", 0,
        {{kSysUpTime, SNMP_SYNTAX_TIMETICKS, "4711"},
         {kSnmpTrapOid, SNMP_SYNTAX_OID, "1.3.6.1.6.3.1.1.5.4"},
         {{1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 2}, SNMP_SYNTAX_INT, "2"},
         {kSnmpTrapEnterprise, SNMP_SYNTAX_OID, "1.3.6.1.6.3.1.1.5"}}}},
  };
  return table;
}

std::string dotted(const Parts& parts) {
  std::string text;
  for (smiUINT32 part : parts) text += (text.empty() ? "" : ".") + std::to_string(part);
  return text;
}

std::string render(const Entry& entry) {
  switch (entry.syntax) {
    case SNMP_SYNTAX_INT: return std::to_string(entry.number);
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32: return std::to_string(entry.unsignedNumber);
    case SNMP_SYNTAX_OID: return dotted(entry.oid);
    default: return entry.octets;
  }
}

Octets readFixture(const std::string& name) {
  std::ifstream file(std::string(CODEC_FIXTURES) + "/" + name + ".bin", std::ios::binary);
  return Octets(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class NetSnmpMessages : public CodecTest {
 protected:
  void TearDown() override {
    netmgr::releaseDecoded(converted);
    CodecTest::TearDown();
  }

  // Decodes (requests) or converts (traps) and checks every field. The
  // request id is returned for comparison with other readers.
  smiINT32 checkMessage(const std::string& fixture, const Octets& message) {
    SCOPED_TRACE(fixture + ": " + toHex(message));
    const ExpectedMessage& expected = expectations().at(fixture);
    HSNMP_PDU pdu = nullptr;
    HSNMP_CONTEXT ctx = nullptr;
    HSNMP_ENTITY source = nullptr;
    std::string sourceAddress = "0.0.0.0";
    if (expected.trap) {
      in_addr sender{};
      inet_pton(AF_INET, "127.0.0.1", &sender);
      sourceAddress = "127.0.0.1";
      netmgr::releaseDecoded(converted);
      EXPECT_EQ(netmgr::convertV1Trap(*session, sender, message.data(), message.size(), converted), 0u);
      pdu = converted.pdu;
      ctx = converted.context;
      source = converted.source;
    } else {
      Decoded decoded = decode(message);
      EXPECT_EQ(decoded.status, SNMPAPI_SUCCESS) << "error " << decoded.error;
      pdu = decoded.pdu;
      ctx = decoded.context;
      source = decoded.source;
    }
    if (!pdu) return 0;
    smiINT type = 0, errorStatus = -1, errorIndex = -1;
    smiINT32 requestId = 0;
    HSNMP_VBL list = nullptr;
    SnmpGetPduData(pdu, &type, &requestId, &errorStatus, &errorIndex, &list);
    EXPECT_EQ(type, expected.type);
    EXPECT_NE(requestId, 0);
    EXPECT_EQ(errorStatus, 0);
    EXPECT_EQ(errorIndex, 0);
    EXPECT_EQ(community(ctx), expected.community);
    EXPECT_EQ(address(source), sourceAddress);
    EXPECT_EQ(SnmpCountVbl(list), expected.bindings.size());
    for (size_t i = 0; i < expected.bindings.size(); ++i) {
      Entry entry = this->entry(list, static_cast<smiUINT32>(i + 1));
      EXPECT_EQ(dotted(entry.name), dotted(expected.bindings[i].name)) << i;
      EXPECT_EQ(entry.syntax, expected.bindings[i].syntax) << i;
      EXPECT_EQ(render(entry), expected.bindings[i].value) << i;
    }
    return requestId;
  }

  netmgr::DecodedMessage converted;
};

TEST_F(NetSnmpMessages, CommittedFixturesDecodeFieldByField) {
  for (const ToolRequest& request : netSnmpRequests()) {
    Octets message = readFixture(request.fixture);
    ASSERT_FALSE(message.empty()) << request.fixture;
    smiINT32 requestId = checkMessage(request.fixture, message);
    const ExpectedMessage& expected = expectations().at(request.fixture);
    if (!expected.trap) {
      EXPECT_EQ(requestId, expected.fixtureRequestId) << request.fixture;
    }
  }
}

// The installed tools send the same requests again; our request ids must
// be the ones tshark reads from the same datagrams.
TEST_F(NetSnmpMessages, LiveToolMessagesDecodeAsTsharkReadsThem) {
  for (const char* tool : {"snmpget", "snmpgetnext", "snmpset", "snmptrap", "tshark"}) {
    if (!toolAvailable(tool)) ORVANE_MISSING_PEER() << tool << " is not installed";
  }
  std::vector<CapturedDatagram> datagrams;
  std::vector<smiINT32> requestIds;
  for (const ToolRequest& request : netSnmpRequests()) {
    LoopbackListener listener;
    ASSERT_TRUE(listener.ready());
    ASSERT_TRUE(runTool(pointedAt(request, listener.port())).started) << request.fixture;
    auto datagram = listener.receive(5000);
    ASSERT_TRUE(datagram) << request.fixture << " sent nothing";
    requestIds.push_back(checkMessage(request.fixture, *datagram));
    uint16_t port = expectations().at(request.fixture).trap ? 162 : 161;
    datagrams.push_back({*datagram, 2000, port});
  }
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/tools.pcap";
  ASSERT_TRUE(writePcap(path, datagrams));
  std::vector<DissectedPacket> packets = dissect(path);
  ASSERT_EQ(packets.size(), datagrams.size());
  for (size_t i = 0; i < packets.size(); ++i) {
    if (expectations().at(netSnmpRequests()[i].fixture).trap) continue;
    EXPECT_EQ(packets[i].field("request-id"), std::to_string(requestIds[i])) << packets[i].text;
  }
}

}  // namespace
