// Conversion of command-line text into values.
#include "value_conversion.h"

#include "winsnmp_syntax.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace consoleformat {
namespace {

std::vector<std::string> splitOnDots(const char* text) {
  std::vector<std::string> parts;
  std::string part;
  for (const char* position = text;; ++position) {
    if (*position == '.' || *position == '\0') {
      parts.push_back(part);
      part.clear();
      if (*position == '\0') break;
    } else {
      part += *position;
    }
  }
  return parts;
}

template <class Number>
bool readWhole(const std::string& text, Number& number, int base = 10) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool storeOctets(const std::vector<smiBYTE>& bytes, smiVALUE& value) {
  value.value.string.len = static_cast<smiUINT32>(bytes.size());
  value.value.string.ptr = nullptr;
  if (bytes.empty()) return true;
  value.value.string.ptr = new smiBYTE[bytes.size()];
  std::memcpy(value.value.string.ptr, bytes.data(), bytes.size());
  return true;
}

// Exactly four decimal numbers; each gives its low 8 bits.
bool fourBytes(const char* text, smiVALUE& value) {
  std::vector<std::string> parts = splitOnDots(text);
  if (parts.size() != 4) return false;
  std::vector<smiBYTE> bytes;
  for (const std::string& part : parts) {
    long number = 0;
    if (!readWhole(part, number)) return false;
    bytes.push_back(static_cast<smiBYTE>(number & 0xFF));
  }
  return storeOctets(bytes, value);
}

// Bytes in the hex form the programs print (47.00.05).
bool hexBytes(const char* text, smiVALUE& value) {
  std::vector<smiBYTE> bytes;
  if (*text) {
    for (const std::string& part : splitOnDots(text)) {
      unsigned number = 0;
      if (part.size() > 2 || !readWhole(part, number, 16)) return false;
      bytes.push_back(static_cast<smiBYTE>(number));
    }
  }
  return storeOctets(bytes, value);
}

bool objectIdentifier(const char* text, smiVALUE& value) {
  std::vector<smiUINT32> numbers;
  if (!readDottedOid(text, numbers)) return false;
  value.value.oid.len = static_cast<smiUINT32>(numbers.size());
  value.value.oid.ptr = new smiUINT32[numbers.size()];
  std::memcpy(value.value.oid.ptr, numbers.data(), numbers.size() * sizeof(smiUINT32));
  return true;
}

}  // namespace

bool readDottedOid(const char* text, std::vector<smiUINT32>& parts) {
  parts.clear();
  if (*text == '.') ++text;
  for (const std::string& part : splitOnDots(text)) {
    smiUINT32 number = 0;
    if (parts.size() == kMaxOidLength || !readWhole(part, number)) return false;
    parts.push_back(number);
  }
  return true;
}

bool convertValue(const char* text, smiUINT32 syntax, smiVALUE& value) {
  std::memset(&value, 0, sizeof value);
  value.syntax = syntax;
  if (!text) text = "";
  bool converted = true;
  switch (syntax) {
    case SNMP_SYNTAX_INT:
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_UINT32:
    case SNMP_SYNTAX_TIMETICKS:
      // Like atol: a leading sign is allowed and no number reads as 0.
      value.value.uNumber = static_cast<smiUINT32>(std::strtoll(text, nullptr, 10));
      break;
    case SNMP_SYNTAX_CNTR64: {
      unsigned long long number = std::strtoull(text, nullptr, 10);
      value.value.hNumber = {static_cast<smiUINT32>(number >> 32), static_cast<smiUINT32>(number)};
      break;
    }
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
      converted = fourBytes(text, value);
      break;
    case SNMP_SYNTAX_NSAPADDR:
      converted = hexBytes(text, value);
      break;
    case SNMP_SYNTAX_OCTETS:
      converted = storeOctets(std::vector<smiBYTE>(text, text + std::strlen(text)), value);
      break;
    case SNMP_SYNTAX_OID:
      converted = objectIdentifier(text, value);
      break;
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      break;
    default:
      converted = false;
  }
  if (!converted) {
    releaseValue(value);
    value.syntax = syntax;
  }
  return converted;
}

void releaseValue(smiVALUE& value) {
  if (value.syntax == SNMP_SYNTAX_OID) {
    delete[] value.value.oid.ptr;
    value.value.oid = {0, nullptr};
  } else if (OvSnmpSyntaxHasDescriptor(value.syntax)) {
    delete[] value.value.string.ptr;
    value.value.string = {0, nullptr};
  }
}

OwnedValue& OwnedValue::operator=(OwnedValue&& other) noexcept {
  if (this != &other) {
    releaseValue(value_);
    value_ = other.value_;
    other.value_ = nullValue();
  }
  return *this;
}

std::optional<OwnedValue> OwnedValue::read(const char* text, smiUINT32 syntax) {
  OwnedValue owned;
  if (!convertValue(text, syntax, owned.value_)) return std::nullopt;
  return owned;
}

}  // namespace consoleformat
