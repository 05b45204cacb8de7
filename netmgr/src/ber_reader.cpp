// BER elements read with bounds checks.
#include "ber_reader.h"

namespace netmgr {

bool BerReader::next(uint8_t& tag, Octets& contents) {
  const uint8_t* position = cursor_;
  if (end_ - position < 2) return false;
  uint8_t elementTag = *position++;
  uint8_t first = *position++;
  size_t length = first;
  if (first == 0x80) {
    length = 0;  // the indefinite form is read as an empty element
  } else if (first > 0x80) {
    size_t lengthOctets = first & 0x7F;
    if (lengthOctets > static_cast<size_t>(end_ - position)) return false;
    length = 0;
    for (size_t i = 0; i < lengthOctets; ++i) {
      length = (length << 8) | *position++;
      if (length > static_cast<size_t>(end_ - position)) return false;
    }
  }
  if (length > static_cast<size_t>(end_ - position)) return false;
  tag = elementTag;
  contents = {position, length};
  cursor_ = position + length;
  return true;
}

bool BerReader::expect(uint8_t tag, Octets& contents) {
  BerReader attempt = *this;
  uint8_t found = 0;
  if (!attempt.next(found, contents) || found != tag) return false;
  *this = attempt;
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

bool readOid(Octets contents, smiUINT32* parts, size_t capacity, smiUINT32& count) {
  constexpr uint64_t kLargest = 0xFFFFFFFFu;
  count = 0;
  const uint8_t* octet = contents.data;
  const uint8_t* end = contents.data + contents.size;
  bool first = true;
  while (octet != end) {
    // Most sub-identifiers are one octet; longer ones are accumulated 7
    // bits at a time. The combined first sub-identifier may exceed 32 bits
    // by the 80 it carries for the arc 2.
    uint64_t value = *octet & 0x7F;
    uint64_t largest = first ? kLargest + 80 : kLargest;
    while (*octet++ & 0x80) {
      if (octet == end) return false;
      value = (value << 7) | (*octet & 0x7F);
      if (value > largest) return false;
    }
    if (first) {
      if (capacity - count < 2) return false;
      parts[count++] = value < 80 ? static_cast<smiUINT32>(value / 40) : 2;
      parts[count++] = static_cast<smiUINT32>(value < 80 ? value % 40 : value - 80);
      first = false;
    } else {
      if (count == capacity) return false;
      parts[count++] = static_cast<smiUINT32>(value);
    }
  }
  return true;
}

}  // namespace netmgr
