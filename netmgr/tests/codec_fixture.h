// Helpers for the tests of lists, PDUs and the codec: OIDs and values from
// literals, lists and PDUs in one call, messages as octet vectors.
#pragma once

#include "netmgr_fixture.h"
#include "varbind.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

using Octets = std::vector<uint8_t>;
using Parts = std::vector<smiUINT32>;

// "30 26 02 01" -> {0x30, 0x26, 0x02, 0x01}
inline Octets hex(const std::string& text) {
  Octets octets;
  unsigned value = 0;
  int digits = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) continue;
    value = value * 16 + static_cast<unsigned>(digit);
    if (++digits == 2) {
      octets.push_back(static_cast<uint8_t>(value));
      value = 0;
      digits = 0;
    }
  }
  return octets;
}

inline std::string toHex(const Octets& octets) {
  std::string text;
  char piece[4];
  for (uint8_t octet : octets) {
    std::snprintf(piece, sizeof piece, "%02X ", octet);
    text += piece;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

inline smiVALUE intValue(smiINT number) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_INT;
  value.value.sNumber = number;
  return value;
}

inline smiVALUE unsignedValue(smiUINT32 syntax, smiUINT32 number) {
  smiVALUE value{};
  value.syntax = syntax;
  value.value.uNumber = number;
  return value;
}

inline smiVALUE counter64Value(smiUINT32 high, smiUINT32 low) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_CNTR64;
  value.value.hNumber = {high, low};
  return value;
}

// The value points at the text, which must outlive it (a literal or a
// named string).
inline smiVALUE stringValue(smiUINT32 syntax, const char* text, size_t length) {
  smiVALUE value{};
  value.syntax = syntax;
  value.value.string = {static_cast<smiUINT32>(length), reinterpret_cast<smiLPBYTE>(const_cast<char*>(text))};
  return value;
}
inline smiVALUE stringValue(smiUINT32 syntax, const char* text) {
  return stringValue(syntax, text, std::strlen(text));
}
inline smiVALUE stringValue(smiUINT32 syntax, const std::string& text) {
  return stringValue(syntax, text.data(), text.size());
}
smiVALUE stringValue(smiUINT32 syntax, std::string&& text) = delete;

inline smiVALUE oidValue(Parts& parts) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OID;
  value.value.oid = {static_cast<smiUINT32>(parts.size()), parts.data()};
  return value;
}

inline smiVALUE plainValue(smiUINT32 syntax) {
  smiVALUE value{};
  value.syntax = syntax;
  return value;
}

inline smiOID oidOf(Parts& parts) { return {static_cast<smiUINT32>(parts.size()), parts.data()}; }

// One entry of a list as the application reads it back.
struct Entry {
  Parts name;
  smiUINT32 syntax = 0;
  smiINT number = 0;
  smiUINT32 unsignedNumber = 0;
  smiCNTR64 counter64{};
  std::string octets;
  Parts oid;
};

class CodecTest : public StartedLibrary {
 protected:
  // A list of names with NULL values.
  HSNMP_VBL nullList(std::initializer_list<Parts> names) {
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    for (Parts name : names) {
      smiOID oid = oidOf(name);
      smiVALUE null = plainValue(SNMP_SYNTAX_NULL);
      EXPECT_EQ(SnmpSetVb(list, 0, &oid, &null), SNMPAPI_SUCCESS);
    }
    return list;
  }

  void append(HSNMP_VBL list, Parts name, const smiVALUE& value) {
    smiOID oid = oidOf(name);
    EXPECT_EQ(SnmpSetVb(list, 0, &oid, &value), SNMPAPI_SUCCESS);
  }

  Entry entry(HSNMP_VBL list, smiUINT32 index) {
    smiOID name{};
    smiVALUE value{};
    Entry result;
    if (SnmpGetVb(list, index, &name, &value) != SNMPAPI_SUCCESS) return result;
    if (name.ptr) result.name.assign(name.ptr, name.ptr + name.len);
    result.syntax = value.syntax;
    switch (value.syntax) {
      case SNMP_SYNTAX_INT: result.number = value.value.sNumber; break;
      case SNMP_SYNTAX_CNTR32:
      case SNMP_SYNTAX_GAUGE32:
      case SNMP_SYNTAX_TIMETICKS:
      case SNMP_SYNTAX_UINT32: result.unsignedNumber = value.value.uNumber; break;
      case SNMP_SYNTAX_CNTR64: result.counter64 = value.value.hNumber; break;
      case SNMP_SYNTAX_OID:
        if (value.value.oid.ptr) result.oid.assign(value.value.oid.ptr, value.value.oid.ptr + value.value.oid.len);
        if (value.value.oid.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&value.value.oid));
        break;
      case SNMP_SYNTAX_BITS:
      case SNMP_SYNTAX_OCTETS:
      case SNMP_SYNTAX_IPADDR:
      case SNMP_SYNTAX_OPAQUE:
      case SNMP_SYNTAX_NSAPADDR:
        if (value.value.string.ptr) {
          result.octets.assign(reinterpret_cast<char*>(value.value.string.ptr), value.value.string.len);
          SnmpFreeDescriptor(value.syntax, &value.value.string);
        }
        break;
      default: break;
    }
    if (name.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
    return result;
  }

  // Encodes with SnmpEncodeMsg; empty on failure, with the error in
  // encodeError.
  Octets encode(HSNMP_PDU pdu, const char* community = "public") {
    HSNMP_ENTITY agent = entity("127.0.0.1");
    HSNMP_CONTEXT ctx = context(community);
    smiOCTETS message{};
    Octets octets;
    SNMPAPI_STATUS status = SnmpEncodeMsg(session, agent, agent, ctx, pdu, &message);
    encodeError = SnmpGetLastError(nullptr);
    if (status == SNMPAPI_SUCCESS) {
      octets.assign(message.ptr, message.ptr + message.len);
      SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
    }
    SnmpFreeEntity(agent);
    SnmpFreeContext(ctx);
    return octets;
  }

  smiUINT32 encodeError = 0;

  struct Decoded {
    SNMPAPI_STATUS status = SNMPAPI_FAILURE;
    smiUINT32 error = 0;
    HSNMP_ENTITY source = nullptr, destination = nullptr;
    HSNMP_CONTEXT context = nullptr;
    HSNMP_PDU pdu = nullptr;
    HSNMP_VBL list = nullptr;
    smiINT type = 0, errorStatus = 0, errorIndex = 0;
    smiINT32 requestId = 0;
  };

  Decoded decode(const Octets& octets) {
    Decoded result;
    smiOCTETS message{static_cast<smiUINT32>(octets.size()), const_cast<smiLPBYTE>(octets.data())};
    result.status = SnmpDecodeMsg(session, &result.source, &result.destination, &result.context,
                                  &result.pdu, &message);
    result.error = SnmpGetLastError(nullptr);
    if (result.status == SNMPAPI_SUCCESS) {
      SnmpGetPduData(result.pdu, &result.type, &result.requestId, &result.errorStatus,
                     &result.errorIndex, &result.list);
    }
    return result;
  }

  std::string community(HSNMP_CONTEXT ctx) {
    smiOCTETS octets{};
    if (SnmpContextToStr(ctx, &octets) != SNMPAPI_SUCCESS) return "?";
    std::string text(reinterpret_cast<char*>(octets.ptr), octets.len);
    if (octets.ptr) SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &octets);
    return text;
  }

  std::string address(HSNMP_ENTITY agent) {
    char text[64] = "";
    SnmpEntityToStr(agent, sizeof text, text);
    return text;
  }
};
