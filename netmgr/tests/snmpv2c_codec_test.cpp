// The SNMPv2c message format: which entities speak it, GetBulk with its
// counts, what SnmpDecodeMsg takes in version 1, 64-bit counters and the
// exception values, and the versions and PDUs still refused.
#include "codec.h"
#include "entity.h"
#include "message_builder.h"

#include <gtest/gtest.h>

namespace {

class SnmpV2cCodec : public CodecTest {
 protected:
  void TearDown() override {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    CodecTest::TearDown();
  }
  // Encodes for an entity made in `mode`.
  Octets encodeFor(smiUINT32 mode, HSNMP_PDU pdu) {
    SnmpSetTranslateMode(mode);
    HSNMP_ENTITY agent = entity("127.0.0.1");
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    return encodeTo(agent, pdu);
  }
  Octets encodeTo(HSNMP_ENTITY agent, HSNMP_PDU pdu) {
    HSNMP_CONTEXT ctx = context("public");
    smiOCTETS message{};
    Octets octets;
    if (SnmpEncodeMsg(session, agent, agent, ctx, pdu, &message) == SNMPAPI_SUCCESS) {
      octets.assign(message.ptr, message.ptr + message.len);
      SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
    }
    return octets;
  }
  HSNMP_PDU bulkForSysDescr() {
    return SnmpCreatePdu(session, SNMP_PDU_GETBULK, 1, 3, 10, nullList({{1, 3, 6, 1, 2, 1, 1, 1, 0}}));
  }
  // A version-1 response whose single varbind is 1.3 = value.
  Decoded decodeV2Value(const Octets& value) {
    MessageParts parts;
    parts.version = hex("02 01 01");
    parts.type = SNMP_PDU_RESPONSE;
    parts.varbinds = varbind(hex("2B"), value);
    return decode(parts.build());
  }
};

TEST_F(SnmpV2cCodec, AnEntityOfTheUntranslatedV2ModeGetsGetBulkWithItsCounts) {
  EXPECT_EQ(toHex(encodeFor(SNMPAPI_UNTRANSLATED_V2, bulkForSysDescr())),
            "30 26 02 01 01 04 06 70 75 62 6C 69 63 A5 19 02 01 01 02 01 03 02 01 0A "
            "30 0E 30 0C 06 08 2B 06 01 02 01 01 01 00 05 00");
}

TEST_F(SnmpV2cCodec, EntitiesOfTheOtherModesStaySnmpV1) {
  for (smiUINT32 mode : {SNMPAPI_TRANSLATED, SNMPAPI_UNTRANSLATED_V1}) {
    EXPECT_EQ(toHex(encodeFor(mode, bulkForSysDescr())),
              "30 26 02 01 00 04 06 70 75 62 6C 69 63 A1 19 02 01 01 02 01 00 02 01 00 "
              "30 0E 30 0C 06 08 2B 06 01 02 01 01 01 00 05 00")
        << mode;
  }
  // The mode counts when the entity is made, not when it is used.
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V2);
  HSNMP_ENTITY v2c = entity("127.0.0.1");
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  EXPECT_EQ(encodeTo(v2c, bulkForSysDescr())[4], 1);
}

TEST_F(SnmpV2cCodec, DecodeMsgTakesVersion1AnswersAndNotificationsAndTheirVersionStays) {
  for (uint8_t type : {SNMP_PDU_RESPONSE, SNMP_PDU_TRAP, SNMP_PDU_INFORM, SNMP_PDU_GETBULK}) {
    MessageParts parts;
    parts.version = hex("02 01 01");
    parts.type = type;
    parts.requestId = hex("02 02 30 39");
    parts.varbinds = varbind(hex("2B 06 01 02 01 01 03 00"), hex("43 01 07"));
    Decoded decoded = decode(parts.build());
    ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS) << int{type};
    EXPECT_EQ(decoded.type, type);
    EXPECT_EQ(decoded.requestId, 12345);
    EXPECT_EQ(static_cast<netmgr::Entity*>(decoded.source)->version, netmgr::SnmpVersion::v2c);
    // An answer to the sender goes in the version the message came in.
    HSNMP_PDU answer = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, decoded.requestId, 0, 0, decoded.list);
    Octets encoded = encodeTo(decoded.source, answer);
    ASSERT_GT(encoded.size(), 4u);
    EXPECT_EQ(encoded[4], 1);
  }
  MessageParts v1;
  Decoded decoded = decode(v1.build());
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(static_cast<netmgr::Entity*>(decoded.source)->version, netmgr::SnmpVersion::v1);
}

TEST_F(SnmpV2cCodec, OtherVersionsReportsAndSnmpV1TrapPdusInVersion1AreRefused) {
  for (const char* version : {"02 01 02", "02 01 03", "02 01 FF"}) {
    MessageParts parts;
    parts.version = hex(version);
    Decoded decoded = decode(parts.build());
    EXPECT_EQ(decoded.status, SNMPAPI_FAILURE) << version;
    EXPECT_EQ(decoded.error, static_cast<smiUINT32>(SNMPAPI_NOOP)) << version;
  }
  for (uint8_t type : {uint8_t{SNMP_PDU_V1TRAP}, uint8_t{0xA8}}) {
    MessageParts parts;
    parts.version = hex("02 01 01");
    parts.type = type;
    Decoded decoded = decode(parts.build());
    EXPECT_EQ(decoded.status, SNMPAPI_FAILURE) << int{type};
    EXPECT_EQ(decoded.error, static_cast<smiUINT32>(SNMPAPI_OTHER_ERROR)) << int{type};
  }
}

TEST_F(SnmpV2cCodec, Counter64ArrivesWholeAtItsLimits) {
  struct Case {
    const char* element;
    smiUINT32 high, low;
  } cases[] = {
      {"46 01 00", 0, 0},
      {"46 05 01 00 00 00 00", 1, 0},
      {"46 09 00 FF FF FF FF FF FF FF FF", 0xFFFFFFFF, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    Decoded decoded = decodeV2Value(hex(c.element));
    ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS) << c.element;
    Entry value = entry(decoded.list, 1);
    EXPECT_EQ(value.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_CNTR64));
    EXPECT_EQ(value.counter64.hipart, c.high) << c.element;
    EXPECT_EQ(value.counter64.lopart, c.low) << c.element;
  }
}

TEST_F(SnmpV2cCodec, ExceptionValuesArriveAsTheirSyntaxes) {
  for (smiUINT32 syntax : {SNMP_SYNTAX_NOSUCHOBJECT, SNMP_SYNTAX_NOSUCHINSTANCE, SNMP_SYNTAX_ENDOFMIBVIEW}) {
    Decoded decoded = decodeV2Value({static_cast<uint8_t>(syntax), 0x00});
    ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS) << syntax;
    EXPECT_EQ(entry(decoded.list, 1).syntax, syntax);
  }
}

}  // namespace
