// Text from a command line into an SNMP value of a chosen syntax.
#pragma once

#include "winsnmp.h"

#include <optional>
#include <vector>

namespace consoleformat {

// The most sub-identifiers an OID read from text may have.
constexpr size_t kMaxOidLength = 128;

// Dotted decimal numbers ("1.3.6.1", or ".1.3.6.1" as snmpwalk prints
// them), each fitting in 32 bits. False for anything else: an empty part,
// a sign, a letter, a number that does not fit, more than kMaxOidLength
// parts.
bool readDottedOid(const char* text, std::vector<smiUINT32>& parts);

// Fills `value` from `text` read as `syntax`. False when the text does not
// read as that syntax (the value is then empty). Buffers the value gets
// are the caller's, released with releaseValue.
bool convertValue(const char* text, smiUINT32 syntax, smiVALUE& value);
void releaseValue(smiVALUE& value);

// A value read from text that owns its buffer and releases it when it
// goes. A default one is NULL.
class OwnedValue {
 public:
  OwnedValue() : value_(nullValue()) {}
  ~OwnedValue() { releaseValue(value_); }
  OwnedValue(OwnedValue&& other) noexcept : value_(other.value_) { other.value_ = nullValue(); }
  OwnedValue& operator=(OwnedValue&& other) noexcept;
  OwnedValue(const OwnedValue&) = delete;
  OwnedValue& operator=(const OwnedValue&) = delete;

  // `text` read as `syntax` (see convertValue); nothing when it does not
  // read.
  [[nodiscard]] static std::optional<OwnedValue> read(const char* text, smiUINT32 syntax);
  const smiVALUE& get() const { return value_; }

 private:
  static smiVALUE nullValue() {
    smiVALUE null{};
    null.syntax = SNMP_SYNTAX_NULL;
    return null;
  }

  smiVALUE value_;
};

}  // namespace consoleformat
