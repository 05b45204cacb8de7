// The value of a SetRequest, converted from the text the user typed into
// the form of the chosen syntax. A text that does not read as a value of
// that syntax converts to nothing: it is refused, never sent as something
// else.
#pragma once

#include "winsnmp.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace netlens {

// A converted value that owns its octets or sub-identifiers; `value`
// points into them and stays valid while the object lives unmoved.
class SetValue {
 public:
  SetValue() = default;
  SetValue(const SetValue&) = delete;
  SetValue& operator=(const SetValue&) = delete;

  // Converts `text` for `syntax`: decimal numbers for the integer kinds
  // (Integer32 signed, the unsigned kinds 0 .. 4294967295, Counter64 one
  // number up to 2^64 - 1), the text's characters for octets (without a
  // terminating zero), dotted decimal for an OID or an IP address, and
  // hexadecimal octets (two digits each, or 1-2 digits between blanks,
  // colons, dots or dashes) for bits, opaque and NSAP addresses. False,
  // and the value left empty, when the text does not convert.
  bool convert(smiUINT32 syntax, const QString& text);

  const smiVALUE& value() const { return value_; }

 private:
  bool setNumber(smiUINT32 syntax, const QString& text);
  bool setOctets(const QByteArray& octets);
  bool setOid(const QString& text);
  bool setAddress(const QString& text);

  smiVALUE value_{};
  std::vector<smiBYTE> octets_;
  std::vector<smiUINT32> subidentifiers_;
};

// Hexadecimal octets as `convert` reads them; nullopt when malformed.
std::optional<QByteArray> parseHexOctets(const QString& text);

}  // namespace netlens
