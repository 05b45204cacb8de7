// Decoding: what a message becomes, every refusal with its error, the
// limits on numbers and OIDs, and that a refused message leaves nothing
// behind.
#include "address_text.h"
#include "codec.h"
#include "message_builder.h"
#include "pdu.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class Decoding : public CodecTest {
 protected:
  // Counts of every object kind a decode creates.
  std::vector<long> liveObjects() {
    using netmgr::ObjectKind;
    return {netmgr::countLive(ObjectKind::entity), netmgr::countLive(ObjectKind::context),
            netmgr::countLive(ObjectKind::pdu), netmgr::countLive(ObjectKind::list),
            netmgr::liveVarbinds()};
  }
  // Decodes a message whose single varbind is 1.3 = value.
  Decoded decodeValue(const Octets& value) {
    MessageParts parts;
    parts.varbinds = varbind(hex("2B"), value);
    return decode(parts.build());
  }
  smiUINT32 refusal(const Octets& message) {
    std::vector<long> before = liveObjects();
    Decoded result = decode(message);
    EXPECT_EQ(result.status, SNMPAPI_FAILURE);
    EXPECT_EQ(liveObjects(), before) << "a refused message left objects behind";
    return result.error;
  }
};

TEST_F(Decoding, EveryPduTypeRoundTripsWithItsFields) {
  for (smiINT type : {SNMP_PDU_GET, SNMP_PDU_GETNEXT, SNMP_PDU_RESPONSE, SNMP_PDU_SET, SNMP_PDU_INFORM,
                      SNMP_PDU_TRAP}) {
    HSNMP_VBL list = nullList({{1, 3, 6, 1, 2, 1, 1, 5, 0}, {1, 3, 6, 1, 2, 1, 1, 6, 0}});
    HSNMP_PDU pdu = SnmpCreatePdu(session, type, 0x12345678, 5, 2, list);
    Decoded decoded = decode(encode(pdu, "private"));
    ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS) << type;
    EXPECT_EQ(decoded.type, type);
    EXPECT_EQ(decoded.requestId, 0x12345678);
    EXPECT_EQ(decoded.errorStatus, 5);
    EXPECT_EQ(decoded.errorIndex, 2);
    EXPECT_EQ(community(decoded.context), "private");
    EXPECT_EQ(SnmpCountVbl(decoded.list), 2u);
    EXPECT_EQ(entry(decoded.list, 2).name, (Parts{1, 3, 6, 1, 2, 1, 1, 6, 0}));
  }
}

TEST_F(Decoding, EverySyntaxRoundTrips) {
  Parts target{1, 3, 6, 1, 4, 1, 4294967295u};
  HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  append(list, {1, 1}, intValue(-129));
  append(list, {1, 2}, stringValue(SNMP_SYNTAX_BITS, "\xA0", 1));
  append(list, {1, 3}, stringValue(SNMP_SYNTAX_OCTETS, "text\0with nul", 13));
  append(list, {1, 4}, plainValue(SNMP_SYNTAX_NULL));
  append(list, {1, 5}, oidValue(target));
  append(list, {1, 6}, stringValue(SNMP_SYNTAX_IPADDR, "\xC0\xA8\x01\x02", 4));
  append(list, {1, 7}, unsignedValue(SNMP_SYNTAX_CNTR32, 0xFFFFFFFF));
  append(list, {1, 8}, unsignedValue(SNMP_SYNTAX_GAUGE32, 0x80000000));
  append(list, {1, 9}, unsignedValue(SNMP_SYNTAX_TIMETICKS, 360000));
  append(list, {1, 10}, stringValue(SNMP_SYNTAX_OPAQUE, "\x9F\x78\x04", 3));
  append(list, {1, 11}, stringValue(SNMP_SYNTAX_NSAPADDR, "\x47", 1));
  append(list, {1, 12}, counter64Value(0xFFFFFFFF, 0xFFFFFFFE));
  append(list, {1, 13}, unsignedValue(SNMP_SYNTAX_UINT32, 7));
  append(list, {1, 14}, plainValue(SNMP_SYNTAX_NOSUCHOBJECT));
  append(list, {1, 15}, plainValue(SNMP_SYNTAX_NOSUCHINSTANCE));
  append(list, {1, 16}, plainValue(SNMP_SYNTAX_ENDOFMIBVIEW));
  Decoded decoded = decode(encode(SnmpCreatePdu(session, SNMP_PDU_RESPONSE, 9, 0, 0, list)));
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpCountVbl(decoded.list), 16u);
  EXPECT_EQ(entry(decoded.list, 1).number, -129);
  EXPECT_EQ(entry(decoded.list, 2).octets, "\xA0");
  EXPECT_EQ(entry(decoded.list, 3).octets, std::string("text\0with nul", 13));
  EXPECT_EQ(entry(decoded.list, 4).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
  EXPECT_EQ(entry(decoded.list, 5).oid, target);
  EXPECT_EQ(entry(decoded.list, 6).octets, "\xC0\xA8\x01\x02");
  EXPECT_EQ(entry(decoded.list, 7).unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(entry(decoded.list, 8).unsignedNumber, 0x80000000u);
  EXPECT_EQ(entry(decoded.list, 9).unsignedNumber, 360000u);
  EXPECT_EQ(entry(decoded.list, 10).octets, "\x9F\x78\x04");
  EXPECT_EQ(entry(decoded.list, 11).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NSAPADDR));
  EXPECT_EQ(entry(decoded.list, 12).counter64.hipart, 0xFFFFFFFFu);
  EXPECT_EQ(entry(decoded.list, 12).counter64.lopart, 0xFFFFFFFEu);
  EXPECT_EQ(entry(decoded.list, 13).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_UINT32));
  for (smiUINT32 index = 14; index <= 16; ++index) {
    EXPECT_EQ(entry(decoded.list, index).syntax, 0x80 + index - 14);
  }
}

TEST_F(Decoding, GetBulkFieldsBecomeBulkCounts) {
  MessageParts parts;
  parts.type = SNMP_PDU_GETBULK;
  parts.errorStatus = hex("02 01 02");
  parts.errorIndex = hex("02 01 FF");
  parts.varbinds = varbind(hex("2B"), hex("05 00"));
  Decoded decoded = decode(parts.build());
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  auto& pdu = *static_cast<netmgr::Pdu*>(decoded.pdu);
  EXPECT_EQ(pdu.nonRepeaters, 2);
  EXPECT_EQ(pdu.maxRepetitions, 255);
  EXPECT_EQ(decoded.errorStatus, 0);
}

TEST_F(Decoding, EntitiesNameTheUnknownSenderAndTheLocalAddress) {
  MessageParts parts;
  Decoded decoded = decode(parts.build());
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(address(decoded.source), "0.0.0.0");
  EXPECT_EQ(address(decoded.destination), "127.0.0.1");
  EXPECT_EQ(SnmpCountVbl(decoded.list), 0u);

  sockaddr_in sender{};
  sender.sin_family = AF_INET;
  inet_pton(AF_INET, "10.1.2.3", &sender.sin_addr);
  Octets message = parts.build();
  netmgr::DecodedMessage received;
  ASSERT_EQ(netmgr::decodeDatagram(*session, sender, message.data(), message.size(), received), 0u);
  EXPECT_EQ(address(received.source), "10.1.2.3");
  netmgr::releaseDecoded(received);
}

// The sender's text is written without the C library; it must read as
// inet_ntop writes it, leading and trailing zeros included.
TEST(AddressText, ReadsAsTheSystemWritesIt) {
  for (const char* text : {"0.0.0.0", "255.255.255.255", "10.0.0.1", "192.168.100.9", "1.20.109.250"}) {
    in_addr address{};
    ASSERT_EQ(inet_pton(AF_INET, text, &address), 1);
    char formatted[netmgr::kAddressTextSize];
    netmgr::formatAddress(address, formatted);
    char expected[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &address, expected, sizeof expected);
    EXPECT_STREQ(formatted, expected);
  }
}

TEST_F(Decoding, RequestIdZeroIsReplacedByAFreshOne) {
  MessageParts parts;
  parts.requestId = hex("02 01 00");
  Decoded decoded = decode(parts.build());
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  EXPECT_NE(decoded.requestId, 0);
  parts.requestId = hex("02 05 00 FF FF FF FF");
  EXPECT_EQ(decode(parts.build()).requestId, -1);
  parts.requestId = hex("02 00");
  EXPECT_NE(decode(parts.build()).requestId, 0);
}

TEST_F(Decoding, FramingFaultsAreRefusedWithError8) {
  Octets good = MessageParts{}.build();
  Octets shortOuter = good;
  shortOuter[1] -= 1;
  EXPECT_EQ(refusal(shortOuter), static_cast<smiUINT32>(SNMPAPI_NOOP));
  Octets longOuter = good;
  longOuter[1] += 1;
  EXPECT_EQ(refusal(longOuter), static_cast<smiUINT32>(SNMPAPI_NOOP));
  Octets trailing = good;
  trailing.push_back(0);
  EXPECT_EQ(refusal(trailing), static_cast<smiUINT32>(SNMPAPI_NOOP));
  Octets notSequence = good;
  notSequence[0] = 0x31;
  EXPECT_EQ(refusal(notSequence), static_cast<smiUINT32>(SNMPAPI_NOOP));
  MessageParts version2;
  version2.version = hex("02 01 02");
  EXPECT_EQ(refusal(version2.build()), static_cast<smiUINT32>(SNMPAPI_NOOP));
  MessageParts longVersion;
  longVersion.version = hex("02 02 00 00");
  EXPECT_EQ(refusal(longVersion.build()), static_cast<smiUINT32>(SNMPAPI_NOOP));
  EXPECT_EQ(refusal(hex("30 03 02 01 00")), static_cast<smiUINT32>(SNMPAPI_NOOP));
  EXPECT_EQ(refusal(hex("30 05 02 01 00 05 00")), static_cast<smiUINT32>(SNMPAPI_NOOP));
  EXPECT_EQ(refusal(hex("30")), static_cast<smiUINT32>(SNMPAPI_NOOP));
  EXPECT_EQ(refusal(hex("30 84 FF FF FF FF")), static_cast<smiUINT32>(SNMPAPI_NOOP));
}

TEST_F(Decoding, MalformedPdusAreRefusedWithError99) {
  auto withParts = [&](auto change) {
    MessageParts parts;
    parts.varbinds = varbind(hex("2B"), hex("05 00"));
    change(parts);
    return refusal(parts.build());
  };
  const smiUINT32 other = SNMPAPI_OTHER_ERROR;
  EXPECT_EQ(withParts([](MessageParts& p) { p.errorIndex = hex("02 02 00 05"); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.errorStatus = hex("02 02 00 05"); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.requestId = hex("02 06 00 00 00 00 00 01"); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.requestId = hex("04 01 01"); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.type = 0xA8; }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.type = 0x30; }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = hex("31 03 06 01 2B"); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = element(0x30, hex("04 01 2B 05 00")); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = element(0x30, hex("06 01 2B")); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = element(0x30, hex("06 01 2B 05 00 05 00")); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = element(0x30, hex("06 01 2B 04 05 61")); }), other);
  EXPECT_EQ(withParts([](MessageParts& p) { p.varbinds = hex("30 09 06 01 2B 05 00"); }), other);
  // A PDU that does not fill the rest of the message.
  Octets message = MessageParts{}.build();
  message[15] -= 1;
  EXPECT_EQ(refusal(message), other);
}

TEST_F(Decoding, ValueTagsOfNoKnownSyntaxGiveNull) {
  Decoded decoded = decodeValue(hex("07 02 01 02"));
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(decoded.list, 1).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
}

TEST_F(Decoding, OidsOfUpTo128SubidentifiersAreAccepted) {
  Octets longest = hex("2B");
  while (longest.size() < 127) longest.push_back(0x01);  // 2 + 126 = 128 sub-identifiers
  MessageParts parts;
  parts.varbinds = varbind(longest, element(0x06, longest));
  Decoded decoded = decode(parts.build());
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(decoded.list, 1).name.size(), 128u);
  EXPECT_EQ(entry(decoded.list, 1).oid.size(), 128u);

  Octets tooLong = longest;
  tooLong.push_back(0x01);
  parts.varbinds = varbind(tooLong, hex("05 00"));
  EXPECT_EQ(refusal(parts.build()), static_cast<smiUINT32>(SNMPAPI_OTHER_ERROR));
  parts.varbinds = varbind(hex("2B"), element(0x06, tooLong));
  EXPECT_EQ(refusal(parts.build()), static_cast<smiUINT32>(SNMPAPI_OTHER_ERROR));
}

TEST_F(Decoding, SubidentifiersBeyond32BitsOrCutShortAreRefused) {
  Decoded largest = decodeValue(hex("06 06 2B 8F FF FF FF 7F"));
  ASSERT_EQ(largest.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(largest.list, 1).oid, (Parts{1, 3, 4294967295u}));
  Decoded widestFirst = decodeValue(hex("06 05 90 80 80 80 4F"));
  ASSERT_EQ(widestFirst.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(entry(widestFirst.list, 1).oid, (Parts{2, 4294967295u}));
  Decoded twoArcs = decodeValue(hex("06 02 81 34"));
  EXPECT_EQ(entry(twoArcs.list, 1).oid, (Parts{2, 100}));

  const smiUINT32 other = SNMPAPI_OTHER_ERROR;
  MessageParts parts;
  parts.varbinds = varbind(hex("2B"), hex("06 06 2B 90 80 80 80 00"));
  EXPECT_EQ(refusal(parts.build()), other);
  parts.varbinds = varbind(hex("2B"), hex("06 05 90 80 80 80 50"));
  EXPECT_EQ(refusal(parts.build()), other);
  parts.varbinds = varbind(hex("2B 86"), hex("05 00"));
  EXPECT_EQ(refusal(parts.build()), other);
}

TEST_F(Decoding, IntegersBeyondTheirLimitsReadAsZero) {
  EXPECT_EQ(entry(decodeValue(hex("02 05 00 FF FF FF FF")).list, 1).number, -1);
  EXPECT_EQ(entry(decodeValue(hex("41 05 00 FF FF FF FF")).list, 1).unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(entry(decodeValue(hex("41 04 FF FF FF FF")).list, 1).unsignedNumber, 0xFFFFFFFFu);
  EXPECT_EQ(entry(decodeValue(hex("02 06 00 00 00 00 00 01")).list, 1).number, 0);
  EXPECT_EQ(entry(decodeValue(hex("43 06 00 00 00 00 00 01")).list, 1).unsignedNumber, 0u);
  EXPECT_EQ(entry(decodeValue(hex("02 00")).list, 1).number, 0);
  EXPECT_EQ(entry(decodeValue(hex("02 01 80")).list, 1).number, -128);

  Entry nine = entry(decodeValue(hex("46 09 00 FF FF FF FF 00 00 00 01")).list, 1);
  EXPECT_EQ(nine.counter64.hipart, 0xFFFFFFFFu);
  EXPECT_EQ(nine.counter64.lopart, 1u);
  Entry ten = entry(decodeValue(hex("46 0A 00 00 FF FF FF FF 00 00 00 01")).list, 1);
  EXPECT_EQ(ten.syntax, static_cast<smiUINT32>(SNMP_SYNTAX_CNTR64));
  EXPECT_EQ(ten.counter64.hipart, 0u);
  EXPECT_EQ(ten.counter64.lopart, 0u);
}

TEST_F(Decoding, LongFormLengthsAreRead) {
  // The version must be exactly 02 01 00; everything else may use the
  // long form, and 0x80 reads as length 0.
  Octets message = hex("30 82 00 24 02 01 00 04 84 00 00 00 06 70 75 62 6C 69 63 A0 81 12 02 01 07 02 01 00 02 01 00 "
                       "30 07 30 05 06 01 2B 05 80");
  Decoded decoded = decode(message);
  ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS) << decoded.error;
  EXPECT_EQ(decoded.requestId, 7);
  EXPECT_EQ(community(decoded.context), "public");
  EXPECT_EQ(entry(decoded.list, 1).syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));
}

TEST_F(Decoding, ArgumentsAreCheckedBeforeDecoding) {
  Octets message = MessageParts{}.build();
  HSNMP_ENTITY source, destination;
  HSNMP_CONTEXT ctx;
  HSNMP_PDU pdu;
  smiOCTETS octets{static_cast<smiUINT32>(message.size()), message.data()};
  EXPECT_EQ(SnmpDecodeMsg(session, &source, &destination, &ctx, &pdu, nullptr), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
  smiOCTETS noBuffer{5, nullptr};
  EXPECT_EQ(SnmpDecodeMsg(session, &source, &destination, &ctx, &pdu, &noBuffer), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_DESCRIPTOR_MISSING);
  EXPECT_EQ(SnmpDecodeMsg(session, &source, &destination, nullptr, &pdu, &octets), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
  EXPECT_EQ(SnmpDecodeMsg(nullptr, &source, &destination, &ctx, &pdu, &octets), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_SESSION_INVALID);
  smiOCTETS empty{0, message.data()};
  EXPECT_EQ(SnmpDecodeMsg(session, &source, &destination, &ctx, &pdu, &empty), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_NOOP);
  Octets huge(70000, 0);
  EXPECT_EQ(refusal(huge), static_cast<smiUINT32>(SNMPAPI_NOOP));
}

// Varbinds are read and stored in batches: short ones fill a batch by
// count, long names and OID values fill its scratch first, and every entry
// must still come out whole and in order.
class ManyVarbinds : public Decoding {
 protected:
  size_t nameLength = 120;
  Parts nameOf(size_t index) const {
    Parts name{1, 3, static_cast<smiUINT32>(index), 200};
    for (smiUINT32 part = 0; name.size() < nameLength; ++part) name.push_back(part % 128);
    return name;
  }
  // The BER contents of an OID whose parts after 1.3 are all below 128,
  // except 200 (two octets).
  static Octets contentsOf(const Parts& oid) {
    Octets contents{0x2B};
    for (size_t i = 2; i < oid.size(); ++i) {
      if (oid[i] < 128) contents.push_back(static_cast<uint8_t>(oid[i]));
      else contents.insert(contents.end(), {static_cast<uint8_t>(0x80 | oid[i] >> 7), static_cast<uint8_t>(oid[i] & 0x7F)});
    }
    return contents;
  }
  static Parts valueOidOf(size_t index) {
    Parts oid{1, 3, 6, static_cast<smiUINT32>(index % 128)};
    while (oid.size() < 128) oid.push_back(static_cast<smiUINT32>(oid.size()));
    return oid;
  }
  Octets varbindsUpTo(size_t count, size_t malformedAt = SIZE_MAX) const {
    Octets all;
    for (size_t index = 0; index < count; ++index) {
      Octets value = index % 2 ? element(0x06, contentsOf(valueOidOf(index)))
                               : element(0x04, text("value " + std::to_string(index)));
      if (index == malformedAt) value = hex("06 02 2B");  // runs past its varbind
      all = join({all, varbind(contentsOf(nameOf(index)), value)});
    }
    return all;
  }
};

TEST_F(ManyVarbinds, AllArriveWholeAndInOrder) {
  for (size_t length : {6, 120}) {
    nameLength = length;
    MessageParts parts;
    parts.varbinds = varbindsUpTo(75);
    Decoded decoded = decode(parts.build());
    ASSERT_EQ(decoded.status, SNMPAPI_SUCCESS);
    ASSERT_EQ(SnmpCountVbl(decoded.list), 75u);
    for (size_t index = 0; index < 75; ++index) {
      Entry stored = entry(decoded.list, static_cast<smiUINT32>(index + 1));
      EXPECT_EQ(stored.name, nameOf(index)) << length << " " << index;
      if (index % 2) EXPECT_EQ(stored.oid, valueOidOf(index)) << length << " " << index;
      else EXPECT_EQ(stored.octets, "value " + std::to_string(index)) << length << " " << index;
    }
  }
}

TEST_F(ManyVarbinds, AMalformedOneInALaterBatchLeavesNothingBehind) {
  MessageParts parts;
  parts.varbinds = varbindsUpTo(75, 60);
  EXPECT_EQ(refusal(parts.build()), static_cast<smiUINT32>(SNMPAPI_OTHER_ERROR));
}

TEST_F(Decoding, RunningOutOfMemoryAnywhereLeavesNothingBehind) {
  MessageParts parts;
  parts.varbinds = join({varbind(hex("2B 06 01"), hex("04 03 61 62 63")), varbind(hex("2B 06 02"), hex("06 02 2B 06"))});
  Octets message = parts.build();
  std::vector<long> before = liveObjects();
  long failures = 0;
  for (long allowed = 0; allowed < 100; ++allowed) {
    platform::failAllocationAfter(allowed);
    Decoded decoded = decode(message);
    platform::failAllocationAfter(-1);
    if (decoded.status == SNMPAPI_SUCCESS) break;
    ++failures;
    EXPECT_EQ(decoded.error, static_cast<smiUINT32>(SNMPAPI_ALLOC_ERROR)) << allowed;
    EXPECT_EQ(liveObjects(), before) << allowed;
  }
  EXPECT_GT(failures, 5);
  EXPECT_NE(liveObjects(), before);
}

// An agent's side: decode a request, answer it with the public calls, and
// the manager decodes the answer.
TEST_F(Decoding, ARequestCanBeAnsweredWithTheSameCalls) {
  HSNMP_PDU request = SnmpCreatePdu(session, SNMP_PDU_GETNEXT, 4711, 0, 0, nullList({{1, 3, 6, 1, 2, 1, 1}}));
  Decoded received = decode(encode(request, "public"));
  ASSERT_EQ(received.status, SNMPAPI_SUCCESS);
  ASSERT_EQ(received.type, SNMP_PDU_GETNEXT);
  smiOID name{};
  smiVALUE value{};
  ASSERT_EQ(SnmpGetVb(received.list, 1, &name, &value), SNMPAPI_SUCCESS);
  Parts next{1, 3, 6, 1, 2, 1, 1, 1, 0};
  smiOID nextName = oidOf(next);
  smiVALUE answer = stringValue(SNMP_SYNTAX_OCTETS, "simulated agent");
  ASSERT_EQ(SnmpSetVb(received.list, 1, &nextName, &answer), SNMPAPI_SUCCESS);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
  HSNMP_PDU response = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, received.requestId, 0, 0, received.list);
  smiOCTETS wire{};
  ASSERT_EQ(SnmpEncodeMsg(session, received.destination, received.source, received.context, response, &wire),
            SNMPAPI_SUCCESS);
  Decoded answered = decode(Octets(wire.ptr, wire.ptr + wire.len));
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &wire);
  ASSERT_EQ(answered.status, SNMPAPI_SUCCESS);
  EXPECT_EQ(answered.type, SNMP_PDU_RESPONSE);
  EXPECT_EQ(answered.requestId, 4711);
  EXPECT_EQ(entry(answered.list, 1).name, next);
  EXPECT_EQ(entry(answered.list, 1).octets, "simulated agent");
}

}  // namespace
