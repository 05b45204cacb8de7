// BER elements written backwards.
#include "ber_writer.h"

namespace netmgr {

// Messages never exceed 1472 octets, so two length octets always suffice.
void BackwardWriter::putLongHeader(uint8_t tag, size_t contentLength) {
  if (contentLength <= 0xFF) {
    putOctet(static_cast<uint8_t>(contentLength));
    putOctet(0x81);
  } else if (contentLength <= 0xFFFF) {
    putOctet(static_cast<uint8_t>(contentLength));
    putOctet(static_cast<uint8_t>(contentLength >> 8));
    putOctet(0x82);
  } else {
    overflowed_ = true;
    return;
  }
  putOctet(tag);
}

void BackwardWriter::putSigned(int32_t value) {
  size_t count = 1;
  while (count < 4) {
    int64_t limit = int64_t{1} << (8 * count - 1);
    if (value >= -limit && value < limit) break;
    ++count;
  }
  uint8_t* place = reserve(count);
  if (!place) return;
  auto bits = static_cast<uint32_t>(value);
  for (size_t i = count; i-- > 0; bits >>= 8) place[i] = static_cast<uint8_t>(bits);
}

void BackwardWriter::putUnsigned(uint64_t value) {
  size_t count = 1;
  while (count < 8 && (value >> (8 * count)) != 0) ++count;
  bool topBitSet = (value >> (8 * count - 1)) & 1;
  uint8_t* place = reserve(count + (topBitSet ? 1 : 0));
  if (!place) return;
  if (topBitSet) *place++ = 0x00;
  for (size_t i = count; i-- > 0; value >>= 8) place[i] = static_cast<uint8_t>(value);
}

namespace {

// Writes one sub-identifier of two or more octets in front of `cursor`,
// not below `start`. The new cursor, or null when it does not fit.
uint8_t* putLongSubidentifier(uint8_t* cursor, const uint8_t* start, uint64_t value) {
  size_t groups = 1;
  while (groups < 10 && (value >> (7 * groups)) != 0) ++groups;
  if (static_cast<size_t>(cursor - start) < groups) return nullptr;
  cursor -= groups;
  cursor[groups - 1] = static_cast<uint8_t>(value & 0x7F);
  for (size_t i = groups - 1; i-- > 0;) {
    value >>= 7;
    cursor[i] = static_cast<uint8_t>(0x80 | (value & 0x7F));
  }
  return cursor;
}

}  // namespace

// The cursor is kept in a local while the sub-identifiers are written: the
// octet stores could otherwise alias the writer and force a reload each
// time. Most sub-identifiers take one octet. The combined first
// sub-identifier is computed in 64 bits, so arcs that do not fit 32 bits
// together are still written exactly.
void BackwardWriter::putOid(const smiUINT32* parts, size_t count) {
  if (count == 0 || overflowed_) return;
  uint8_t* cursor = cursor_;
  auto put = [&](uint64_t value) {
    if (!cursor) return;
    if (value < 0x80 && cursor != start_) *--cursor = static_cast<uint8_t>(value);
    else cursor = putLongSubidentifier(cursor, start_, value);
  };
  for (size_t i = count; i-- > 2;) put(parts[i]);
  put(uint64_t{parts[0]} * 40 + (count > 1 ? parts[1] : 0));
  if (!cursor) {
    overflowed_ = true;
    return;
  }
  cursor_ = cursor;
}

}  // namespace netmgr
