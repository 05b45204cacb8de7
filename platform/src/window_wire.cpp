// Encoding and decoding the datagrams of carried messages.
#include "window_wire.h"

#include <cstring>

namespace platform::detail {
namespace {

constexpr uint32_t kMarker = 0x4D57764F;

void putLittleEndian(uint8_t* out, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t getLittleEndian(const uint8_t* in, size_t size) {
  uint64_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint64_t>(in[i]) << (8 * i);
  return value;
}

}  // namespace

std::optional<std::vector<uint8_t>> encodeCarried(Delivery kind, HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  const COPYDATASTRUCT* block = nullptr;
  if (message == WM_COPYDATA) {
    block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!block || block->cbData > kLargestCopyData || (block->cbData && !block->lpData)) return std::nullopt;
  }
  size_t blockSize = block ? block->cbData : 0;
  std::vector<uint8_t> octets;
  try {
    octets.resize(kWireHeaderSize + blockSize);
  } catch (...) {
    return std::nullopt;
  }
  putLittleEndian(&octets[0], kMarker, 4);
  putLittleEndian(&octets[4], static_cast<uint32_t>(kind), 4);
  putLittleEndian(&octets[8], reinterpret_cast<uintptr_t>(window), 8);
  putLittleEndian(&octets[16], message, 4);
  putLittleEndian(&octets[20], blockSize, 4);
  putLittleEndian(&octets[24], wParam, 8);
  putLittleEndian(&octets[32], block ? block->dwData : static_cast<uint64_t>(lParam), 8);
  if (blockSize) std::memcpy(&octets[kWireHeaderSize], block->lpData, blockSize);
  return octets;
}

std::optional<CarriedMessage> decodeCarried(const uint8_t* octets, size_t length) {
  if (length < kWireHeaderSize || getLittleEndian(&octets[0], 4) != kMarker) return std::nullopt;
  CarriedMessage carried;
  uint64_t kind = getLittleEndian(&octets[4], 4);
  if (kind != static_cast<uint32_t>(Delivery::posted) && kind != static_cast<uint32_t>(Delivery::sent)) {
    return std::nullopt;
  }
  carried.kind = static_cast<Delivery>(kind);
  carried.window = reinterpret_cast<HWND>(static_cast<uintptr_t>(getLittleEndian(&octets[8], 8)));
  carried.message = static_cast<UINT>(getLittleEndian(&octets[16], 4));
  uint64_t blockSize = getLittleEndian(&octets[20], 4);
  carried.wParam = static_cast<WPARAM>(getLittleEndian(&octets[24], 8));
  carried.lParam = static_cast<LPARAM>(getLittleEndian(&octets[32], 8));
  if (blockSize != length - kWireHeaderSize) return std::nullopt;
  if (blockSize && carried.message != WM_COPYDATA) return std::nullopt;
  try {
    carried.copyData.assign(octets + kWireHeaderSize, octets + length);
  } catch (...) {
    return std::nullopt;
  }
  return carried;
}

}  // namespace platform::detail
