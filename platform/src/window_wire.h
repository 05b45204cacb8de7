// The datagram that carries a posted or sent message to a window of
// another process. Fixed-width little-endian fields, never a pointer:
//
//   0  4  marker 0x4D57764F
//   4  4  kind: 1 posted, 2 sent (an answer is expected)
//   8  8  window
//  16  4  message
//  20  4  length of the copy-data block that follows (WM_COPYDATA only)
//  24  8  wParam
//  32  8  lParam; for WM_COPYDATA the block's dwData instead
//  40  .. the copy-data block
//
// A sent message travels with one end of a socket pair; the answer (an
// 8-byte LRESULT) comes back on it.
#pragma once

#include "platform/messages.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::detail {

enum class Delivery : uint32_t { posted = 1, sent = 2 };

struct CarriedMessage {
  Delivery kind = Delivery::posted;
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;                   // dwData for WM_COPYDATA
  std::vector<uint8_t> copyData;       // WM_COPYDATA only
};

constexpr size_t kWireHeaderSize = 40;
// The largest copy-data block carried; larger ones are refused.
constexpr size_t kLargestCopyData = 256 * 1024;

// For WM_COPYDATA `lParam` must point to a COPYDATASTRUCT, whose block is
// copied. Null when the block is too large or memory runs out.
std::optional<std::vector<uint8_t>> encodeCarried(Delivery kind, HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam);
// Null for anything that is not a whole, well-formed datagram.
std::optional<CarriedMessage> decodeCarried(const uint8_t* octets, size_t length);

}  // namespace platform::detail
