// Result lines of received variable bindings.
#include "binding_text.h"

#include "wsm.h"

#include <cstdio>

namespace netlens {
namespace {

constexpr smiUINT32 kNameBufferSize = 500;

std::string decimalSuffix(const smiOID& oid, smiUINT32 from, bool leadingDot) {
  std::string text;
  for (smiUINT32 index = from; index < oid.len; ++index) {
    if (leadingDot || index > from) text += '.';
    text += std::to_string(oid.ptr[index]);
  }
  return text;
}

// The length of a UTF-8 sequence that starts at `at` and encodes a
// printable character (no C1 control, no surrogate, nothing overlong), or 0.
size_t printableSequence(const smiBYTE* bytes, size_t at, size_t end) {
  smiBYTE lead = bytes[at];
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (lead >= 0xF5 || !length || at + length > end) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t index = 1; index < length; ++index) {
    if ((bytes[at + index] & 0xC0) != 0x80) return 0;
    code = code << 6 | (bytes[at + index] & 0x3F);
  }
  static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  if (code >= 0x80 && code <= 0x9F) return 0;
  return length;
}

// Printable text: ASCII graphics and blanks, tabs, line feeds, carriage
// returns that begin a line end, and printable UTF-8. The agent's data
// must never reach the results pane as control characters.
bool isPrintable(const smiBYTE* bytes, size_t length) {
  for (size_t at = 0; at < length;) {
    smiBYTE byte = bytes[at];
    if ((byte >= 32 && byte < 127) || byte == '\t' || byte == '\n') {
      ++at;
    } else if (byte == '\r' && at + 1 < length && bytes[at + 1] == '\n') {
      at += 2;
    } else if (size_t sequence = byte >= 0x80 ? printableSequence(bytes, at, length) : 0) {
      at += sequence;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string dottedOid(const smiOID& oid) { return decimalSuffix(oid, 0, false); }

std::string oidName(const smiOID& oid) {
  for (smiUINT32 length = oid.len;; --length) {
    smiOID prefix{length, oid.ptr};
    if (HWSM_NODE node = WsmMapOidToNode(&prefix)) {
      char name[kNameBufferSize] = {};
      smiUINT32 size = sizeof name;
      WsmGetNodeString(node, WSM_NODE_NAME, &size, name);
      if (name[0]) return name + decimalSuffix(oid, length, true);
    }
    if (length == 0) break;
  }
  return dottedOid(oid);
}

std::string syntaxWord(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_INT: return "int, int32";
    case SNMP_SYNTAX_BITS: return "bits";
    case SNMP_SYNTAX_OCTETS: return "octets";
    case SNMP_SYNTAX_NULL: return "null";
    case SNMP_SYNTAX_OID: return "oid";
    case SNMP_SYNTAX_IPADDR: return "ipaddr";
    case SNMP_SYNTAX_CNTR32: return "cntr32";
    case SNMP_SYNTAX_GAUGE32: return "gauge32";
    case SNMP_SYNTAX_TIMETICKS: return "timeticks";
    case SNMP_SYNTAX_OPAQUE: return "opaque";
    case SNMP_SYNTAX_NSAPADDR: return "nsapaddr";
    case SNMP_SYNTAX_CNTR64: return "cntr64";
    case SNMP_SYNTAX_UINT32: return "uint32";
    case SNMP_SYNTAX_NOSUCHOBJECT: return "nosuchobject";
    case SNMP_SYNTAX_NOSUCHINSTANCE: return "nosuchinstance";
    case SNMP_SYNTAX_ENDOFMIBVIEW: return "endofmibview";
    default: return "unknown";
  }
}

std::string syntaxTag(smiUINT32 syntax) { return "(" + syntaxWord(syntax) + ")"; }

std::string hexText(const smiOCTETS& octets) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (smiUINT32 index = 0; index < octets.len; ++index) {
    if (index) text += '.';
    text += digits[octets.ptr[index] >> 4];
    text += digits[octets.ptr[index] & 0x0F];
  }
  return text + " (hex)";
}

std::string octetsText(const smiOCTETS& octets) {
  if (octets.len == 0 || !octets.ptr) return " (zero-length)";
  size_t length = octets.len;
  if (octets.ptr[length - 1] == 0) --length;  // a C string's terminator
  if (!isPrintable(octets.ptr, length)) return hexText(octets);
  return std::string(reinterpret_cast<const char*>(octets.ptr), length);
}

// The parts of an unsigned count: a clock that has run 248 days is still a
// clock, not a negative number.
std::string timeticksText(smiUINT32 ticks) {
  char text[64];
  std::snprintf(text, sizeof text, "%u days %02uh:%02um:%02us.%02uth", ticks / 8640000, ticks / 360000 % 24,
                ticks / 6000 % 60, ticks / 100 % 60, ticks % 100);
  return text;
}

std::string valueText(const smiVALUE& value) {
  switch (value.syntax) {
    case SNMP_SYNTAX_INT: return std::to_string(value.value.sNumber);
    case SNMP_SYNTAX_OCTETS: return octetsText(value.value.string);
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR: return hexText(value.value.string);
    case SNMP_SYNTAX_NULL: return "NULL";
    case SNMP_SYNTAX_OID: {
      const smiOID& oid = value.value.oid;
      bool nullOid = oid.len == 2 && oid.ptr[0] == 0 && oid.ptr[1] == 0;
      return (nullOid ? "(null-oid) " : "") + oidName(oid);
    }
    case SNMP_SYNTAX_IPADDR: {
      std::string text;
      for (smiUINT32 index = 0; index < value.value.string.len; ++index) {
        if (index) text += '.';
        text += std::to_string(value.value.string.ptr[index]);
      }
      return text;
    }
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_UINT32: return std::to_string(value.value.uNumber);
    case SNMP_SYNTAX_TIMETICKS: return timeticksText(value.value.uNumber);
    case SNMP_SYNTAX_CNTR64: {
      char text[32];
      std::snprintf(text, sizeof text, "%08X.%08X (hex)", value.value.hNumber.hipart, value.value.hNumber.lopart);
      return text;
    }
    case SNMP_SYNTAX_NOSUCHOBJECT: return "NOSUCHOBJECT";
    case SNMP_SYNTAX_NOSUCHINSTANCE: return "NOSUCHINSTANCE";
    case SNMP_SYNTAX_ENDOFMIBVIEW: return "ENDOFMIBVIEW";
    default: return "";
  }
}

std::string bindingLine(const smiOID& name, const smiVALUE& value) {
  return oidName(name) + " **** " + syntaxTag(value.syntax) + " " + valueText(value);
}

}  // namespace netlens
