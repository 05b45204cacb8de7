// Builds BER messages element by element, so tests can bend any part of a
// message out of shape.
#pragma once

#include "codec_fixture.h"

#include <initializer_list>

// tag, definite length (short or long form), contents.
inline Octets element(uint8_t tag, const Octets& contents) {
  Octets out{tag};
  size_t length = contents.size();
  if (length < 0x80) {
    out.push_back(static_cast<uint8_t>(length));
  } else if (length <= 0xFF) {
    out.insert(out.end(), {0x81, static_cast<uint8_t>(length)});
  } else {
    out.insert(out.end(), {0x82, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  }
  out.insert(out.end(), contents.begin(), contents.end());
  return out;
}

inline Octets join(std::initializer_list<Octets> parts) {
  Octets out;
  for (const Octets& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline Octets text(const std::string& characters) { return Octets(characters.begin(), characters.end()); }

inline Octets varbind(const Octets& name, const Octets& value) {
  return element(0x30, join({element(0x06, name), value}));
}

// A message in the general layout from its parts; the defaults make a
// valid GetRequest with request id 1 and no varbinds.
struct MessageParts {
  Octets version = hex("02 01 00");
  std::string community = "public";
  uint8_t type = 0xA0;
  Octets requestId = hex("02 01 01");
  Octets errorStatus = hex("02 01 00");
  Octets errorIndex = hex("02 01 00");
  Octets varbinds;  // the contents of the variable-bindings element

  Octets build() const {
    Octets pdu = element(type, join({requestId, errorStatus, errorIndex, element(0x30, varbinds)}));
    return element(0x30, join({version, element(0x04, text(community)), pdu}));
  }
};

// An SNMPv1 Trap-PDU message from its parts.
struct TrapParts {
  std::string community = "public";
  uint8_t type = 0xA4;
  Octets enterprise = hex("2B 06 01 04 01 81 D4 2E");  // 1.3.6.1.4.1.27182
  Octets agentAddress = hex("0A 00 00 01");
  Octets generic = hex("02 01 06");
  Octets specific = hex("02 01 05");
  Octets timeStamp = hex("43 02 04 D2");  // 1234
  Octets varbinds;

  Octets build() const {
    Octets pdu = element(type, join({element(0x06, enterprise), element(0x40, agentAddress), generic,
                                     specific, timeStamp, element(0x30, varbinds)}));
    return element(0x30, join({hex("02 01 00"), element(0x04, text(community)), pdu}));
  }
};
