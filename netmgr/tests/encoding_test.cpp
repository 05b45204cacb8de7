// Encoding: the exact octets of numbers, OIDs, lengths and both message
// layouts, and the refusals (empty list, no type, oversized message).
#include "codec.h"
#include "codec_fixture.h"
#include "context.h"
#include "descriptors.h"
#include "pdu.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class Encoding : public CodecTest {
 protected:
  // The octets of a GetRequest holding name 1.3 = value.
  Octets encodeValue(const smiVALUE& value) {
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    append(list, {1, 3}, value);
    HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
    return encode(pdu);
  }
  // The name and value elements that end the message for name 1.3.
  std::string valueElement(const smiVALUE& value) {
    Octets message = encodeValue(value);
    Octets name = hex("06 01 2B");
    auto at = std::search(message.begin(), message.end(), name.begin(), name.end());
    if (at == message.end()) return "no name element";
    return toHex(Octets(at + 3, message.end()));
  }
  std::string oidElement(Parts parts) { return valueElement(oidValue(parts)); }
  // A GetRequest whose single value is an octet string of `length` octets.
  HSNMP_PDU pduWithString(size_t length, std::string& storage) {
    storage.assign(length, 'x');
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    append(list, {1, 3}, stringValue(SNMP_SYNTAX_OCTETS, storage));
    return SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  }
};

TEST_F(Encoding, GetRequestForSysDescrIsTheFortyOctetsExpected) {
  HSNMP_VBL list = nullList({{1, 3, 6, 1, 2, 1, 1, 1, 0}});
  HSNMP_PDU get = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  const std::string tail = "02 01 01 02 01 00 02 01 00 30 0E 30 0C 06 08 2B 06 01 02 01 01 01 00 05 00";
  Octets expected = hex("30 26 02 01 00 04 06 70 75 62 6C 69 63 A0 19 " + tail);
  Octets message = encode(get, "public");
  EXPECT_EQ(message.size(), 40u);
  EXPECT_EQ(toHex(message), toHex(expected));

  // GetBulk goes out as GetNext with its (zero) error fields.
  HSNMP_PDU bulk = SnmpCreatePdu(session, SNMP_PDU_GETBULK, 1, 3, 10, list);
  EXPECT_EQ(toHex(encode(bulk, "public")), toHex(hex("30 26 02 01 00 04 06 70 75 62 6C 69 63 A1 19 " + tail)));
}

// Only the send path writes the Trap-PDU layout; SnmpEncodeMsg keeps the
// general one whatever the type.
TEST_F(Encoding, EncodeMsgWritesAnSnmpV1TrapInTheGeneralLayout) {
  HSNMP_PDU trap = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, nullList({{1, 3}}));
  smiINT generic = 6;
  SnmpSetV1TrapPduData(trap, nullptr, nullptr, &generic, nullptr, nullptr);
  Octets message = encode(trap, "public");
  ASSERT_GT(message.size(), 16u);
  EXPECT_EQ(toHex(Octets(message.begin() + 13, message.begin() + 18)), "A4 12 02 01 01");
}

TEST_F(Encoding, IntegersTakeTheFewestTwosComplementOctets) {
  EXPECT_EQ(valueElement(intValue(-1)), "02 01 FF");
  EXPECT_EQ(valueElement(intValue(-128)), "02 01 80");
  EXPECT_EQ(valueElement(intValue(128)), "02 02 00 80");
  EXPECT_EQ(valueElement(intValue(-129)), "02 02 FF 7F");
  EXPECT_EQ(valueElement(intValue(0)), "02 01 00");
  EXPECT_EQ(valueElement(intValue(127)), "02 01 7F");
  EXPECT_EQ(valueElement(intValue(0x800000)), "02 04 00 80 00 00");
  EXPECT_EQ(valueElement(intValue(INT_MAX)), "02 04 7F FF FF FF");
  EXPECT_EQ(valueElement(intValue(INT_MIN)), "02 04 80 00 00 00");
}

TEST_F(Encoding, UnsignedNumbersKeepTheirTopBitClear) {
  EXPECT_EQ(valueElement(unsignedValue(SNMP_SYNTAX_CNTR32, 0xFFFFFFFF)), "41 05 00 FF FF FF FF");
  EXPECT_EQ(valueElement(unsignedValue(SNMP_SYNTAX_GAUGE32, 0)), "42 01 00");
  EXPECT_EQ(valueElement(unsignedValue(SNMP_SYNTAX_TIMETICKS, 0x80)), "43 02 00 80");
  EXPECT_EQ(valueElement(unsignedValue(SNMP_SYNTAX_UINT32, 0x7FFF)), "47 02 7F FF");
  EXPECT_EQ(valueElement(unsignedValue(SNMP_SYNTAX_UINT32, 0x800000)), "47 04 00 80 00 00");
}

TEST_F(Encoding, Counter64TakesUpToNineOctets) {
  EXPECT_EQ(valueElement(counter64Value(0, 5)), "46 01 05");
  EXPECT_EQ(valueElement(counter64Value(1, 0)), "46 05 01 00 00 00 00");
  EXPECT_EQ(valueElement(counter64Value(0xFFFFFFFF, 0xFFFFFFFF)), "46 09 00 FF FF FF FF FF FF FF FF");
}

TEST_F(Encoding, OidsCombineTheFirstArcsAndUseBase128) {
  EXPECT_EQ(oidElement({1, 3, 20000}), "06 04 2B 81 9C 20");
  EXPECT_EQ(oidElement({1, 3, 127, 128}), "06 04 2B 7F 81 00");
  EXPECT_EQ(oidElement({2, 100}), "06 02 81 34");
  EXPECT_EQ(oidElement({1}), "06 01 28");
  EXPECT_EQ(oidElement({}), "06 00");
  EXPECT_EQ(oidElement({1, 3, 4294967295u}), "06 06 2B 8F FF FF FF 7F");
  // Arcs whose combination exceeds 32 bits are still written exactly.
  EXPECT_EQ(oidElement({2, 4294967295u}), "06 05 90 80 80 80 4F");
}

TEST_F(Encoding, StringsAndExceptionsAreWrittenAsTheyAre) {
  EXPECT_EQ(valueElement(stringValue(SNMP_SYNTAX_OCTETS, "ab")), "04 02 61 62");
  EXPECT_EQ(valueElement(stringValue(SNMP_SYNTAX_BITS, "\x80", 1)), "03 01 80");
  EXPECT_EQ(valueElement(stringValue(SNMP_SYNTAX_IPADDR, "\x0A\x00\x00\x01", 4)), "40 04 0A 00 00 01");
  EXPECT_EQ(valueElement(stringValue(SNMP_SYNTAX_OPAQUE, "")), "44 00");
  EXPECT_EQ(valueElement(stringValue(SNMP_SYNTAX_NSAPADDR, "\x01", 1)), "45 01 01");
  EXPECT_EQ(valueElement(plainValue(SNMP_SYNTAX_NULL)), "05 00");
  EXPECT_EQ(valueElement(plainValue(SNMP_SYNTAX_NOSUCHOBJECT)), "80 00");
  EXPECT_EQ(valueElement(plainValue(SNMP_SYNTAX_NOSUCHINSTANCE)), "81 00");
  EXPECT_EQ(valueElement(plainValue(SNMP_SYNTAX_ENDOFMIBVIEW)), "82 00");
}

TEST_F(Encoding, LengthsUseOneTwoOrThreeOctets) {
  std::string storage;
  Octets medium = encode(pduWithString(150, storage));
  EXPECT_EQ(toHex(Octets(medium.begin(), medium.begin() + 3)), "30 81 " + toHex({static_cast<uint8_t>(medium.size() - 3)}));
  Octets large = encode(pduWithString(400, storage));
  ASSERT_GT(large.size(), 259u);
  EXPECT_EQ(large[0], 0x30);
  EXPECT_EQ(large[1], 0x82);
  EXPECT_EQ(size_t{large[2]} << 8 | large[3], large.size() - 4);
}

TEST_F(Encoding, MessagesUpTo1472OctetsPassAndLongerOnesAreRefused) {
  // 43 octets of framing around an octet string of 1429.
  std::string storage;
  EXPECT_EQ(encode(pduWithString(1429, storage)).size(), 1472u);
  long descriptors = netmgr::liveDescriptors();
  HSNMP_PDU tooBig = pduWithString(1430, storage);
  HSNMP_ENTITY agent = entity("127.0.0.1");
  HSNMP_CONTEXT ctx = context("public");
  smiOCTETS message{};
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, tooBig, &message), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SIZE_INVALID);
  EXPECT_EQ(message.ptr, nullptr);
  EXPECT_EQ(netmgr::liveDescriptors(), descriptors);

  // Many varbinds, and a community far beyond the limit, are refused too.
  HSNMP_VBL many = SnmpCreateVbl(session, nullptr, nullptr);
  for (smiUINT32 i = 0; i < 200; ++i) append(many, {1, 3, 6, 1, 4, 1, i}, intValue(-1));
  EXPECT_TRUE(encode(SnmpCreatePdu(session, SNMP_PDU_SET, 1, 0, 0, many)).empty());
  EXPECT_EQ(encodeError, static_cast<smiUINT32>(SNMPAPI_SIZE_INVALID));
  std::string longCommunity(5000, 'c');
  EXPECT_TRUE(encode(pduWithString(1, storage), longCommunity.c_str()).empty());
  EXPECT_EQ(encodeError, static_cast<smiUINT32>(SNMPAPI_SIZE_INVALID));
}

TEST_F(Encoding, RefusesEmptyListsUntypedPdusAndMissingArguments) {
  HSNMP_VBL empty = SnmpCreateVbl(session, nullptr, nullptr);
  EXPECT_TRUE(encode(SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, empty)).empty());
  EXPECT_EQ(encodeError, static_cast<smiUINT32>(SNMPAPI_VBL_INVALID));
  HSNMP_VBL list = nullList({{1, 3}});
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  EXPECT_TRUE(encode(SnmpCreatePdu(session, 0, 1, 0, 0, list)).empty());
  EXPECT_EQ(encodeError, static_cast<smiUINT32>(SNMPAPI_PDU_INVALID));

  HSNMP_ENTITY agent = entity("127.0.0.1");
  HSNMP_CONTEXT ctx = context("public");
  smiOCTETS message{};
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, pdu, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
  EXPECT_EQ(SnmpEncodeMsg(session, agent, nullptr, ctx, pdu, &message), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, agent, pdu, &message), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_CONTEXT_INVALID);
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, list, &message), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_PDU_INVALID);
  SnmpFreeVbl(list);
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, pdu, &message), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_VBL_INVALID);
}

TEST_F(Encoding, OutOfMemoryForTheResultGivesError2) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, nullList({{1, 3}}));
  HSNMP_ENTITY agent = entity("127.0.0.1");
  HSNMP_CONTEXT ctx = context("public");
  smiOCTETS message{};
  platform::failAllocationAfter(0);
  EXPECT_EQ(SnmpEncodeMsg(session, agent, agent, ctx, pdu, &message), SNMPAPI_FAILURE);
  platform::failAllocationAfter(-1);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR);
}

class TrapEncoding : public Encoding {
 protected:
  Octets encodeTrap(HSNMP_PDU pdu) {
    auto* ctx = static_cast<netmgr::Context*>(context("public"));
    smiOCTETS message{};
    Octets octets;
    lastError = netmgr::encodeV1Trap(*session, *ctx, *static_cast<netmgr::Pdu*>(pdu), message);
    if (lastError == 0) {
      octets.assign(message.ptr, message.ptr + message.len);
      netmgr::releaseDescriptor(message.ptr);
    }
    return octets;
  }
  uint32_t lastError = 0;
};

TEST_F(TrapEncoding, WritesTheTrapPduLayout) {
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  append(list, {1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 2}, intValue(2));
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, list);
  Parts enterprise{1, 3, 6, 1, 4, 1, 27182};
  smiOID oid = oidOf(enterprise);
  uint8_t address[4] = {10, 0, 0, 1};
  smiOCTETS agentAddress{4, address};
  smiINT generic = 6, specific = 5;
  smiTIMETICKS stamp = 1234;
  SnmpSetV1TrapPduData(pdu, &oid, &agentAddress, &generic, &specific, &stamp);
  std::string pduContents =
      "06 08 2B 06 01 04 01 81 D4 2E 40 04 0A 00 00 01 02 01 06 02 01 05 43 02 04 D2 "
      "30 11 30 0F 06 0A 2B 06 01 02 01 02 02 01 01 02 02 01 02";
  EXPECT_EQ(toHex(encodeTrap(pdu)), toHex(hex("30 3A 02 01 00 04 06 70 75 62 6C 69 63 A4 2D " + pduContents)));
}

TEST_F(TrapEncoding, MissingEnterpriseAndOddAddressesBecomeZeros) {
  HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, nullList({{1, 3}}));
  smiINT generic = 0;
  SnmpSetV1TrapPduData(pdu, nullptr, nullptr, &generic, nullptr, nullptr);
  std::string expected = "A4 1B 06 01 00 40 04 00 00 00 00 02 01 00 02 01 00 43 01 00 30 07 30 05 06 01 2B 05 00";
  Octets trap = encodeTrap(pdu);
  ASSERT_GT(trap.size(), 13u);
  EXPECT_EQ(toHex(Octets(trap.begin() + 13, trap.end())), expected);

  HSNMP_PDU empty = SnmpCreatePdu(session, SNMP_PDU_GET, 1, 0, 0, SnmpCreateVbl(session, nullptr, nullptr));
  EXPECT_TRUE(encodeTrap(empty).empty());
  EXPECT_EQ(lastError, static_cast<uint32_t>(SNMPAPI_VBL_INVALID));
}

}  // namespace
