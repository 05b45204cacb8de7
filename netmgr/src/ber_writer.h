// Builds BER elements from the end of a fixed buffer towards its start, so
// every length is already known when its header is written and nothing is
// moved after it is written. A write that does not fit marks the writer as
// overflowed and writes nothing, and so does every later write: nothing
// ever lands outside the buffer.
#pragma once

#include "winsnmp.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace netmgr {

class BackwardWriter {
 public:
  BackwardWriter(uint8_t* buffer, size_t capacity)
      : start_(buffer), cursor_(buffer + capacity), end_(buffer + capacity) {}

  // The octets written so far, in transmission order.
  const uint8_t* data() const { return cursor_; }
  size_t size() const { return static_cast<size_t>(end_ - cursor_); }
  bool overflowed() const { return overflowed_; }

  void putOctet(uint8_t octet) {
    if (uint8_t* place = reserve(1)) *place = octet;
  }
  void putOctets(const uint8_t* octets, size_t count) {
    if (count == 0) return;
    if (uint8_t* place = reserve(count)) std::memcpy(place, octets, count);
  }

  // The tag and definite length of an element whose contents are the last
  // `contentLength` octets written.
  void putHeader(uint8_t tag, size_t contentLength) {
    if (contentLength >= 0x80) return putLongHeader(tag, contentLength);
    if (uint8_t* place = reserve(2)) {
      place[0] = tag;
      place[1] = static_cast<uint8_t>(contentLength);
    }
  }
  // Writes the contents `write` produces, then their header.
  template <class Contents>
  void putElement(uint8_t tag, Contents&& write) {
    size_t before = size();
    write();
    putHeader(tag, size() - before);
  }

  // Contents of an INTEGER: two's complement in the fewest octets.
  void putSigned(int32_t value);
  // Contents of an unsigned number: the fewest octets that keep the top bit
  // clear, so a value from 0x80000000 up takes a leading 0x00 (5 octets for
  // 32 bits, up to 9 for Counter64).
  void putUnsigned(uint64_t value);
  // Contents of an OBJECT IDENTIFIER: the first two arcs combined, then
  // base 128. An empty OID has no contents; a one-arc OID is first × 40.
  void putOid(const smiUINT32* parts, size_t count);

 private:
  uint8_t* reserve(size_t count) {
    if (overflowed_ || count > static_cast<size_t>(cursor_ - start_)) {
      overflowed_ = true;
      return nullptr;
    }
    cursor_ -= count;
    return cursor_;
  }
  void putLongHeader(uint8_t tag, size_t contentLength);

  uint8_t* start_;
  uint8_t* cursor_;
  uint8_t* end_;
  bool overflowed_ = false;
};

}  // namespace netmgr
