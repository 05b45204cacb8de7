// Reads BER elements from received octets. Every header and every content
// is checked against the octets that remain before it is read, so a length
// that runs past the end is refused, never followed.
#pragma once

#include "winsnmp.h"

#include <cstddef>
#include <cstdint>

namespace netmgr {

// A view of octets owned by someone else.
struct Octets {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

class BerReader {
 public:
  explicit BerReader(Octets octets) : cursor_(octets.data), end_(octets.data + octets.size) {}

  bool atEnd() const { return cursor_ == end_; }

  // Reads the next element's tag and contents. False, with nothing
  // consumed, when the header or the contents would run past the end.
  [[nodiscard]] bool next(uint8_t& tag, Octets& contents) { return read(nullptr, tag, contents); }
  // As next, and the tag must be `tag`.
  [[nodiscard]] bool expect(uint8_t tag, Octets& contents) {
    uint8_t found = 0;
    return read(&tag, found, contents);
  }
  // Reads exactly the three octets `tag`, 0x01, value.
  [[nodiscard]] bool expectOneOctet(uint8_t tag, uint8_t& value);

 private:
  // The decoders read every element through here, so the short form of
  // the length, which nearly every element of a message uses, is read
  // inline; a long form goes to readLongLength.
  bool read(const uint8_t* wanted, uint8_t& tag, Octets& contents) {
    const uint8_t* position = cursor_;
    if (end_ - position < 2 || (wanted && *position != *wanted)) return false;
    uint8_t first = position[1];
    size_t length = first;
    position += 2;
    if (first >= 0x80 && !readLongLength(first, position, length)) return false;
    if (length > static_cast<size_t>(end_ - position)) return false;
    tag = cursor_[0];
    contents = {position, length};
    cursor_ = position + length;
    return true;
  }
  // The long form, or 0x80 (the indefinite form), read as an empty
  // element. Moves `position` past the length octets.
  bool readLongLength(uint8_t first, const uint8_t*& position, size_t& length) const;

  const uint8_t* cursor_;
  const uint8_t* end_;
};

// Integer contents of at most `maxOctets` octets, most significant first
// and sign-extended from the first octet's top bit; longer contents read
// as 0, and so do empty ones.
uint64_t readInteger(Octets contents, size_t maxOctets);

// Object identifier contents into at most `capacity` sub-identifiers. The
// first sub-identifier X gives X / 40 and X % 40 below 80, otherwise 2 and
// X - 80. False when there are more sub-identifiers than `capacity`, when
// one does not fit 32 bits, or when the last one is cut short.
[[nodiscard]] bool readOid(Octets contents, smiUINT32* parts, size_t capacity, smiUINT32& count);

}  // namespace netmgr
