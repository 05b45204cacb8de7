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
  [[nodiscard]] bool next(uint8_t& tag, Octets& contents);
  // As next, and the tag must be `tag`.
  [[nodiscard]] bool expect(uint8_t tag, Octets& contents);
  // Reads exactly the three octets `tag`, 0x01, value.
  [[nodiscard]] bool expectOneOctet(uint8_t tag, uint8_t& value);

 private:
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
