// What the trap server and the programs that register with it share: the
// server window's class and title, the inter-application message with its
// two requests, and the trap record in which the server hands over each
// message it receives on the trap port.
//
// Registering: send the server window the inter-application message with
// (kRegister, the window that is to receive the records); the answer is a
// registration identifier, 0 when refused. Unregistering: post it
// (kUnregister, that identifier). Records arrive at the registered window
// as WM_COPYDATA blocks, sent (not posted) by the server.
#pragma once

#include "platform/win32_types.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace trapserver {

inline constexpr char kServerClass[] = "Orvane_NETMGR_CLASS";
inline constexpr char kServerTitle[] = "Orvane WinSnmp Trap Server C-1996";
// The program started when no server window exists, found through the
// search path.
inline constexpr char kServerProgram[] = "notifyd";
inline constexpr char kInterApplicationMessage[] = "Orvane NETMGR INTER APPLICATION MESSAGE";
inline constexpr WPARAM kRegister = 1;
inline constexpr WPARAM kUnregister = 2;

// The trap record (32-bit fields little-endian, the address as it travels):
//    0  4  marker 0x12321098
//    4  4  total size of the record
//    8  8  zero
//   16  4  sender's IPv4 address, network byte order
//   20  8  zero
//   28  4  length n of the SNMP message
//   32  n  the SNMP message as received
inline constexpr uint32_t kRecordMarker = 0x12321098;
inline constexpr size_t kRecordHeaderSize = 32;
inline constexpr size_t kMarkerOffset = 0;
inline constexpr size_t kTotalSizeOffset = 4;
inline constexpr size_t kSenderOffset = 16;
inline constexpr size_t kMessageLengthOffset = 28;

inline void putWord(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t getWord(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

// `sender` holds the four octets of the address in network order.
inline std::vector<uint8_t> buildRecord(const uint8_t (&sender)[4], const uint8_t* message, size_t length) {
  std::vector<uint8_t> record(kRecordHeaderSize + length, 0);
  putWord(&record[kMarkerOffset], kRecordMarker);
  putWord(&record[kTotalSizeOffset], static_cast<uint32_t>(record.size()));
  std::memcpy(&record[kSenderOffset], sender, 4);
  putWord(&record[kMessageLengthOffset], static_cast<uint32_t>(length));
  if (length) std::memcpy(&record[kRecordHeaderSize], message, length);
  return record;
}

struct RecordView {
  uint8_t sender[4];  // network order
  const uint8_t* message;
  size_t length;
};

// The record in a data block, if the block holds a whole one: at least the
// header, the marker, a total size within the block, and a message that
// ends within that total size.
inline std::optional<RecordView> readRecord(const void* block, size_t blockSize) {
  auto* octets = static_cast<const uint8_t*>(block);
  if (!octets || blockSize < kRecordHeaderSize || getWord(&octets[kMarkerOffset]) != kRecordMarker) {
    return std::nullopt;
  }
  size_t total = getWord(&octets[kTotalSizeOffset]);
  size_t length = getWord(&octets[kMessageLengthOffset]);
  if (total > blockSize || length > total || kRecordHeaderSize + length > total) return std::nullopt;
  RecordView view{};
  std::memcpy(view.sender, &octets[kSenderOffset], 4);
  view.message = octets + kRecordHeaderSize;
  view.length = length;
  return view;
}

}  // namespace trapserver
