// The BER tags of the SNMP message format that the codec writes and
// expects by name. Values carry their own tags: the syntax codes of
// winsnmp.h are the tags of their types, and the PDU types are the tags
// of the PDUs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace netmgr::ber {

constexpr uint8_t kInteger = 0x02;
constexpr uint8_t kOctetString = 0x04;
constexpr uint8_t kNull = 0x05;
constexpr uint8_t kObjectIdentifier = 0x06;
constexpr uint8_t kSequence = 0x30;
constexpr uint8_t kIpAddress = 0x40;
constexpr uint8_t kTimeTicks = 0x43;

// INTEGER and the 32-bit unsigned types take at most 5 content octets
// (a leading zero keeps a high bit from reading as a sign), Counter64 at
// most 9; longer contents read as 0.
constexpr size_t kMaxIntegerOctets = 5;
constexpr size_t kMaxCounter64Octets = 9;

}  // namespace netmgr::ber
