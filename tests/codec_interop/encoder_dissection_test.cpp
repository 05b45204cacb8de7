// Every kind of message our encoder writes, dissected by tshark: no packet
// may be malformed, and version, community, request id, error fields and
// each varbind's name and value must read back as we encoded them.
#include "codec.h"
#include "codec_fixture.h"
#include "context.h"
#include "required_peer.h"
#include "descriptors.h"
#include "pcap_file.h"
#include "pdu.h"
#include "peer_tools.h"
#include "tshark_dissection.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct ExpectedVarbind {
  std::string name;
  std::string type;
  std::string value;
};

struct ExpectedMessage {
  std::string label;
  CapturedDatagram datagram;
  std::string pdu;  // tshark's name for the PDU type
  std::string community;
  std::string requestId;  // empty for the SNMPv1 trap
  std::string errorStatus, errorIndex;
  std::vector<ExpectedVarbind> varbinds;
};

class EncoderDissection : public CodecTest {
 protected:
  void SetUp() override {
    CodecTest::SetUp();
    if (!toolAvailable("tshark")) ORVANE_MISSING_PEER() << "tshark is not installed";
  }

  CapturedDatagram request(HSNMP_PDU pdu, const char* community, bool fromAgent = false) {
    Octets message = encode(pdu, community);
    EXPECT_FALSE(message.empty()) << "encoding failed with error " << encodeError;
    if (fromAgent) return {message, 161, 2000};
    return {message, 2000, 161};
  }

  // One response per syntax, each with one varbind.
  void addSyntaxes() {
    static Parts target{1, 3, 6, 1, 4, 1, 27182, 4294967295u};
    struct Syntax {
      smiVALUE value;
      ExpectedVarbind expected;
    };
    std::vector<Syntax> syntaxes = {
        {intValue(-129), {"", "Integer32", "-129"}},
        {intValue(2147483647), {"", "Integer32", "2147483647"}},
        {stringValue(SNMP_SYNTAX_OCTETS, "hello world"), {"", "OctetString", "\"hello world\""}},
        {plainValue(SNMP_SYNTAX_NULL), {"", "Null", ""}},
        {oidValue(target), {"", "OID", "1.3.6.1.4.1.27182.4294967295"}},
        {stringValue(SNMP_SYNTAX_IPADDR, "\xC0\xA8\x01\x02", 4), {"", "IpAddress", "192.168.1.2"}},
        {unsignedValue(SNMP_SYNTAX_CNTR32, 0xFFFFFFFF), {"", "Counter32", "4294967295"}},
        {unsignedValue(SNMP_SYNTAX_GAUGE32, 0x80000000), {"", "Gauge32", "2147483648"}},
        {unsignedValue(SNMP_SYNTAX_TIMETICKS, 360000), {"", "Timeticks", "360000"}},
        {stringValue(SNMP_SYNTAX_OPAQUE, "\x01\x02\x03", 3), {"", "Opaque", "010203"}},
        {counter64Value(0xFFFFFFFF, 0xFFFFFFFF), {"", "Counter64", "18446744073709551615"}},
        {counter64Value(0, 5), {"", "Counter64", "5"}},
        {unsignedValue(SNMP_SYNTAX_UINT32, 4000000000u), {"", "Unsigned32", "4000000000"}},
        {plainValue(SNMP_SYNTAX_NOSUCHOBJECT), {"", "noSuchObject", ""}},
        {plainValue(SNMP_SYNTAX_NOSUCHINSTANCE), {"", "noSuchInstance", ""}},
        {plainValue(SNMP_SYNTAX_ENDOFMIBVIEW), {"", "endOfMibView", ""}},
        // The dissector knows no BITS tag (0x03) in a varbind and shows
        // the octets raw; it shows an NsapAddress as a number.
        {stringValue(SNMP_SYNTAX_BITS, "\xA0", 1), {"", "Unknown", "a0"}},
        {stringValue(SNMP_SYNTAX_NSAPADDR, "\x47\x00", 2), {"", "NSAP", "18176"}},
    };
    smiINT32 requestId = 100;
    for (Syntax& syntax : syntaxes) {
      Parts name{1, 3, 6, 1, 2, 1, 1, static_cast<smiUINT32>(requestId - 99), 0};
      HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
      append(list, name, syntax.value);
      HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, requestId, 0, 0, list);
      syntax.expected.name = "1.3.6.1.2.1.1." + std::to_string(requestId - 99) + ".0";
      expected.push_back({"syntax " + syntax.expected.type, request(pdu, "public", true), "get-response",
                          "public", std::to_string(requestId), "0", "0", {syntax.expected}});
      ++requestId;
    }
  }

  // One message per PDU type; GetBulk goes out as GetNext.
  void addPduTypes() {
    struct Type {
      smiINT type;
      std::string name;
    };
    std::vector<Type> types = {{SNMP_PDU_GET, "get-request"},       {SNMP_PDU_GETNEXT, "get-next-request"},
                               {SNMP_PDU_RESPONSE, "get-response"}, {SNMP_PDU_SET, "set-request"},
                               {SNMP_PDU_GETBULK, "get-next-request"}, {SNMP_PDU_INFORM, "informRequest"},
                               {SNMP_PDU_TRAP, "snmpV2-trap"}};
    std::vector<smiINT32> requestIds = {-2, -200, 127, 128, 0x7FFFFFFF, -0x7FFFFFFF - 1, 0x123456};
    for (size_t i = 0; i < types.size(); ++i) {
      const Type& type = types[i];
      smiINT32 requestId = requestIds[i];
      HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
      append(list, {1, 3, 6, 1, 2, 1, 1, 3, 0}, unsignedValue(SNMP_SYNTAX_TIMETICKS, 4711));
      append(list, {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0}, intValue(7));
      bool response = type.type == SNMP_PDU_RESPONSE;
      HSNMP_PDU pdu = SnmpCreatePdu(session, type.type, requestId, response ? 5 : 0, response ? 2 : 0, list);
      expected.push_back({"type " + type.name, request(pdu, "secret"), type.name, "secret",
                          std::to_string(requestId), response ? "5" : "0", response ? "2" : "0",
                          {{"1.3.6.1.2.1.1.3.0", "Timeticks", "4711"}, {"1.3.6.1.6.3.1.1.4.1.0", "Integer32", "7"}}});
    }
  }

  void addV1Trap() {
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    append(list, {1, 3, 6, 1, 4, 1, 27182, 1, 1}, stringValue(SNMP_SYNTAX_OCTETS, "disk full"));
    HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
    Parts enterprise{1, 3, 6, 1, 4, 1, 27182};
    smiOID oid = oidOf(enterprise);
    uint8_t address[4] = {10, 0, 0, 1};
    smiOCTETS agent{4, address};
    smiINT generic = 6, specific = 5;
    smiTIMETICKS stamp = 1234;
    SnmpSetV1TrapPduData(pdu, &oid, &agent, &generic, &specific, &stamp);
    auto* ctx = static_cast<netmgr::Context*>(context("public"));
    smiOCTETS message{};
    ASSERT_EQ(netmgr::encodeV1Trap(*session, *ctx, *static_cast<netmgr::Pdu*>(pdu), message), 0u);
    ExpectedMessage trap{"SNMPv1 trap", {Octets(message.ptr, message.ptr + message.len), 2000, 162},
                         "trap", "public", "", "", "", {{"1.3.6.1.4.1.27182.1.1", "OctetString", "\"disk full\""}}};
    netmgr::releaseDescriptor(message.ptr);
    expected.push_back(trap);
  }

  // A GetResponse of exactly 1472 octets.
  void addLargestMessage() {
    // 1472 octets: 45 of framing (a three-octet request id) and the string.
    static std::string text(1427, 'x');
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    append(list, {1, 3}, stringValue(SNMP_SYNTAX_OCTETS, text));
    HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 65536, 0, 0, list);
    ExpectedMessage largest{"largest message", request(pdu, "public", true), "get-response", "public", "65536",
                            "0", "0", {{"1.3", "OctetString", "\"" + text + "\""}}};
    ASSERT_EQ(largest.datagram.payload.size(), 1472u);
    expected.push_back(largest);
  }

  std::vector<ExpectedMessage> expected;
};

void checkPacket(const ExpectedMessage& expected, const DissectedPacket& packet) {
  SCOPED_TRACE(expected.label + "\n" + packet.text);
  EXPECT_TRUE(packet.snmp);
  EXPECT_FALSE(packet.malformed);
  EXPECT_EQ(packet.code("version"), "0");
  EXPECT_EQ(packet.field("community"), expected.community);
  EXPECT_EQ(packet.field("data"), expected.pdu);
  if (!expected.requestId.empty()) {
    EXPECT_EQ(packet.field("request-id"), expected.requestId);
    EXPECT_EQ(packet.code("error-status"), expected.errorStatus);
    EXPECT_EQ(packet.field("error-index"), expected.errorIndex);
  }
  ASSERT_EQ(packet.varbinds.size(), expected.varbinds.size());
  for (size_t i = 0; i < expected.varbinds.size(); ++i) {
    EXPECT_EQ(packet.varbinds[i].name, expected.varbinds[i].name);
    EXPECT_EQ(packet.varbinds[i].type, expected.varbinds[i].type);
    const DissectedVarbind& shown = packet.varbinds[i];
    if (shown.truncated) {
      EXPECT_EQ(expected.varbinds[i].value.rfind(shown.value, 0), 0u) << shown.value;
      EXPECT_GT(shown.value.size(), 20u);
    } else {
      EXPECT_EQ(shown.value, expected.varbinds[i].value);
    }
  }
}

TEST_F(EncoderDissection, TsharkReadsEveryMessageAsEncoded) {
  addSyntaxes();
  addPduTypes();
  addV1Trap();
  addLargestMessage();
  std::vector<CapturedDatagram> datagrams;
  for (const ExpectedMessage& message : expected) datagrams.push_back(message.datagram);
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/encoder.pcap";
  ASSERT_TRUE(writePcap(path, datagrams));
  std::vector<DissectedPacket> packets = dissect(path);
  ASSERT_EQ(packets.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) checkPacket(expected[i], packets[i]);
}

TEST_F(EncoderDissection, TheTrapPduFieldsReadBack) {
  addV1Trap();
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/trap.pcap";
  ASSERT_TRUE(writePcap(path, {expected[0].datagram}));
  std::vector<DissectedPacket> packets = dissect(path);
  ASSERT_EQ(packets.size(), 1u);
  SCOPED_TRACE(packets[0].text);
  EXPECT_EQ(packets[0].field("enterprise"), "1.3.6.1.4.1.27182");
  EXPECT_EQ(packets[0].field("agent-addr"), "10.0.0.1");
  EXPECT_EQ(packets[0].code("generic-trap"), "6");
  EXPECT_EQ(packets[0].field("specific-trap"), "5");
  EXPECT_EQ(packets[0].field("time-stamp"), "1234");
}

// What we send to an SNMPv2c entity: version 1, and a GetBulk with the
// counts it was given; Counter64 and the exceptions in a response of it.
TEST_F(EncoderDissection, MessagesToAnSnmpV2cEntityReadAsSnmpV2c) {
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V2);
  HSNMP_ENTITY agent = entity("127.0.0.1");
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  HSNMP_CONTEXT ctx = context("public");
  auto encodeFor = [&](HSNMP_PDU pdu, uint16_t from, uint16_t to) {
    smiOCTETS message{};
    EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, pdu, &message), SNMPAPI_SUCCESS);
    CapturedDatagram datagram{Octets(message.ptr, message.ptr + message.len), from, to};
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
    return datagram;
  };
  HSNMP_VBL names = SnmpCreateVbl(session, nullptr, nullptr);
  append(names, {1, 3, 6, 1, 2, 1, 1, 3}, plainValue(SNMP_SYNTAX_NULL));
  append(names, {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6}, plainValue(SNMP_SYNTAX_NULL));
  HSNMP_VBL values = SnmpCreateVbl(session, nullptr, nullptr);
  append(values, {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 1}, counter64Value(1, 0));
  append(values, {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 2}, plainValue(SNMP_SYNTAX_NOSUCHINSTANCE));
  append(values, {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 3}, plainValue(SNMP_SYNTAX_ENDOFMIBVIEW));
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/v2c.pcap";
  ASSERT_TRUE(writePcap(path, {encodeFor(SnmpCreatePdu(session, SNMP_PDU_GETBULK, 77, 1, 25, names), 2000, 161),
                               encodeFor(SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 77, 0, 0, values), 161, 2000)}));
  std::vector<DissectedPacket> packets = dissect(path);
  ASSERT_EQ(packets.size(), 2u);
  for (const DissectedPacket& packet : packets) {
    SCOPED_TRACE(packet.text);
    EXPECT_TRUE(packet.snmp);
    EXPECT_FALSE(packet.malformed);
    EXPECT_EQ(packet.code("version"), "1");
    EXPECT_EQ(packet.field("version"), "v2c");
    EXPECT_EQ(packet.field("request-id"), "77");
  }
  EXPECT_EQ(packets[0].field("data"), "getBulkRequest");
  EXPECT_EQ(packets[0].field("non-repeaters"), "1");
  EXPECT_EQ(packets[0].field("max-repetitions"), "25");
  ASSERT_EQ(packets[0].varbinds.size(), 2u);
  EXPECT_EQ(packets[0].varbinds[1].name, "1.3.6.1.2.1.31.1.1.1.6");
  ASSERT_EQ(packets[1].varbinds.size(), 3u);
  EXPECT_EQ(packets[1].varbinds[0].type, "Counter64");
  EXPECT_EQ(packets[1].varbinds[0].value, "4294967296");
  EXPECT_EQ(packets[1].varbinds[1].type, "noSuchInstance");
  EXPECT_EQ(packets[1].varbinds[2].type, "endOfMibView");
}

}  // namespace
