// BER elements read with bounds checks.
#include "ber_reader.h"

#include <emmintrin.h>  // SSE2: every x86-64 processor has it

namespace netmgr {

bool BerReader::readLongLength(uint8_t first, const uint8_t*& position, size_t& length) const {
  length = 0;
  if (first == 0x80) return true;  // the indefinite form is read as an empty element
  size_t lengthOctets = first & 0x7F;
  if (lengthOctets > static_cast<size_t>(end_ - position)) return false;
  for (size_t i = 0; i < lengthOctets; ++i) {
    length = (length << 8) | *position++;
    if (length > static_cast<size_t>(end_ - position)) return false;
  }
  return true;
}

bool BerReader::expectOneOctet(uint8_t tag, uint8_t& value) {
  if (end_ - cursor_ < 3 || cursor_[0] != tag || cursor_[1] != 0x01) return false;
  value = cursor_[2];
  cursor_ += 3;
  return true;
}

uint64_t readInteger(Octets contents, size_t maxOctets) {
  if (contents.size == 0 || contents.size > maxOctets) return 0;
  uint64_t value = (contents.data[0] & 0x80) ? ~uint64_t{0} : 0;
  for (size_t i = 0; i < contents.size; ++i) value = (value << 8) | contents.data[i];
  return value;
}

namespace {

// One sub-identifier in base 128, 7 bits at a time; false when it exceeds
// `largest` or is cut short by the end of the contents.
bool readSubidentifier(const uint8_t*& octet, const uint8_t* end, uint64_t largest, uint64_t& value) {
  value = *octet & 0x7F;
  while (*octet++ & 0x80) {
    if (octet == end) return false;
    value = (value << 7) | (*octet & 0x7F);
    if (value > largest) return false;
  }
  return true;
}

// Stores eight octets as eight sub-identifiers when none of them has its
// top bit set (each is then a whole sub-identifier); false otherwise, with
// nothing stored.
bool widenEight(const uint8_t* octets, smiUINT32* parts) {
  __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(octets));
  if (_mm_movemask_epi8(bytes) & 0xFF) return false;
  __m128i zero = _mm_setzero_si128();
  __m128i halves = _mm_unpacklo_epi8(bytes, zero);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(parts), _mm_unpacklo_epi16(halves, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(parts + 4), _mm_unpackhi_epi16(halves, zero));
  return true;
}

}  // namespace

bool readOid(Octets contents, smiUINT32* parts, size_t capacity, smiUINT32& count) {
  constexpr uint64_t kLargest = 0xFFFFFFFFu;
  count = 0;
  const uint8_t* octet = contents.data;
  const uint8_t* end = contents.data + contents.size;
  if (octet == end) return true;
  // The combined first sub-identifier may exceed 32 bits by the 80 it
  // carries for the arc 2.
  uint64_t value = 0;
  if (!readSubidentifier(octet, end, kLargest + 80, value) || capacity < 2) return false;
  smiUINT32* part = parts;
  smiUINT32* full = parts + capacity;
  *part++ = value < 80 ? static_cast<smiUINT32>(value / 40) : 2;
  *part++ = static_cast<smiUINT32>(value < 80 ? value % 40 : value - 80);
  while (octet != end) {
    // Most sub-identifiers are one octet: copy runs of them eight at a
    // time while no octet of the eight has its top bit set, then in a
    // tight loop that also stops where the capacity ends.
    while (end - octet >= 8 && full - part >= 8 && widenEight(octet, part)) {
      part += 8;
      octet += 8;
    }
    size_t room = static_cast<size_t>(full - part);
    const uint8_t* stop = static_cast<size_t>(end - octet) > room ? octet + room : end;
    while (octet != stop && *octet < 0x80) *part++ = *octet++;
    if (octet == end) break;
    if (part == full || !readSubidentifier(octet, end, kLargest, value)) return false;
    *part++ = static_cast<smiUINT32>(value);
  }
  count = static_cast<smiUINT32>(part - parts);
  return true;
}

}  // namespace netmgr
