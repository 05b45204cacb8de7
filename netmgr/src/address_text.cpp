// IPv4 addresses as dotted-decimal text.
#include "address_text.h"

#include <cstdint>
#include <cstring>

namespace netmgr {
namespace {

char* putDecimal(char* out, uint8_t value) {
  if (value >= 100) *out++ = static_cast<char>('0' + value / 100);
  if (value >= 10) *out++ = static_cast<char>('0' + value / 10 % 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

}  // namespace

void formatAddress(const in_addr& address, char (&text)[kAddressTextSize]) {
  uint8_t octets[4];
  std::memcpy(octets, &address.s_addr, sizeof octets);  // network order: first octet first
  char* out = text;
  for (int index = 0; index < 4; ++index) {
    if (index) *out++ = '.';
    out = putDecimal(out, octets[index]);
  }
  *out = '\0';
}

}  // namespace netmgr
