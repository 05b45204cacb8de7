// The variable line and its parts.
#include "variable_format.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

namespace consoleformat {
namespace {

std::atomic<NodeNamer> installedNamer{nullptr};

// The last OID named on this thread and its longest prefix with a name
// (0: none), under the namer that found it.
struct LongestNamedPrefix {
  NodeNamer namer;
  std::vector<smiUINT32> oid;
  smiUINT32 namedLength;
  std::string name;
};
thread_local LongestNamedPrefix lastNamed{nullptr, {}, 0, ""};

// The length of the UTF-8 sequence at `bytes` if it is a well-formed
// character other than a C1 control (U+0080..U+009F), else 0. Overlong
// forms, surrogates and code points above U+10FFFF are not well formed.
smiUINT32 printableSequence(const smiBYTE* bytes, smiUINT32 left) {
  smiBYTE lead = bytes[0];
  smiUINT32 length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || left < length) return 0;
  for (smiUINT32 i = 1; i < length; ++i) {
    if ((bytes[i] & 0xC0) != 0x80) return 0;
  }
  smiBYTE second = bytes[1];
  if (lead == 0xC2 && second < 0xA0) return 0;         // C1 controls
  if (lead == 0xE0 && second < 0xA0) return 0;         // overlong
  if (lead == 0xED && second >= 0xA0) return 0;        // surrogates
  if (lead == 0xF0 && second < 0x90) return 0;         // overlong
  if (lead == 0xF4 && second >= 0x90) return 0;        // above U+10FFFF
  return length;
}

// Text that is safe to write to a terminal: well-formed UTF-8 without
// control characters other than tab, line feed and a carriage return that
// ends a line. Anything else could move the cursor or reprogram the
// terminal (0x9B and ESC start control sequences), and an agent's data must
// never do that.
bool isPrintable(const smiBYTE* bytes, smiUINT32 length) {
  for (smiUINT32 i = 0; i < length;) {
    smiBYTE byte = bytes[i];
    if (byte >= 0x80) {
      smiUINT32 sequence = printableSequence(bytes + i, length - i);
      if (!sequence) return false;
      i += sequence;
      continue;
    }
    bool lineEnd = byte == '\n' || (byte == '\r' && i + 1 < length && bytes[i + 1] == '\n');
    if ((byte < 0x20 && byte != '\t' && !lineEnd) || byte == 0x7F) return false;
    ++i;
  }
  return true;
}

// The characters, without a zero byte that ends the string, when they are
// printable text; the hex form otherwise (a zero byte inside is not text).
std::string octetText(const smiOCTETS& octets) {
  if (octets.len == 0 || !octets.ptr) return "(zero-length)";
  smiUINT32 shown = octets.len;
  if (octets.ptr[shown - 1] == 0) --shown;
  if (!isPrintable(octets.ptr, shown)) return hexForm(octets.ptr, octets.len) + " (hex)";
  return std::string(reinterpret_cast<const char*>(octets.ptr), shown);
}

std::string oidValueText(const smiOID& oid) {
  bool nullOid = oid.len == 2 && oid.ptr && oid.ptr[0] == 0 && oid.ptr[1] == 0;
  return (nullOid ? "(null-oid) " : "") + namedOid(oid);
}

// The numbers in decimal, separated by dots.
template <class Number>
std::string dottedDecimal(const Number* numbers, smiUINT32 count) {
  std::string text;
  if (!numbers || count == 0) return text;
  // Room for the longest numbers, written in place and then cut to size.
  constexpr size_t kLongest = std::numeric_limits<Number>::digits10 + 2;
  text.resize(static_cast<size_t>(count) * kLongest);
  char* end = text.data();
  char* const limit = end + text.size();
  for (smiUINT32 i = 0; i < count; ++i) {
    if (i) *end++ = '.';
    end = std::to_chars(end, limit, numbers[i]).ptr;
  }
  text.resize(static_cast<size_t>(end - text.data()));
  return text;
}

std::string ipAddressText(const smiOCTETS& octets) { return dottedDecimal(octets.ptr, octets.len); }

}  // namespace

void setNodeNamer(NodeNamer namer) { installedNamer.store(namer); }

std::string hexForm(const smiBYTE* bytes, smiUINT32 length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  if (!bytes || length == 0) return text;
  text.resize(static_cast<size_t>(length) * 3 - 1, '.');
  for (size_t i = 0; i < length; ++i) {
    text[i * 3] = kDigits[bytes[i] >> 4];
    text[i * 3 + 1] = kDigits[bytes[i] & 0x0f];
  }
  return text;
}

// Sub-identifiers are unsigned: one above 2^31 prints as itself, not as a
// negative number.
std::string numericOid(const smiOID& oid) { return dottedDecimal(oid.ptr, oid.len); }

std::string namedOid(const smiOID& oid) {
  NodeNamer namer = installedNamer.load();
  if (!namer || !oid.ptr) return numericOid(oid);
  LongestNamedPrefix& last = lastNamed;
  if (last.namer != namer) last = {namer, {}, 0, ""};
  // When the last OID's named prefix lies within what this one shares
  // with it, the shared prefixes fare as they did: only the longer ones
  // are asked for.
  smiUINT32 shared = 0;
  while (shared < oid.len && shared < last.oid.size() && oid.ptr[shared] == last.oid[shared]) ++shared;
  bool reuse = last.namedLength <= shared;
  smiUINT32 known = reuse ? shared : 0;
  smiUINT32 length = oid.len;
  std::string name;
  while (length > known && !namer(oid.ptr, length, name)) --length;
  if (length == known) {
    length = reuse ? last.namedLength : 0;
    name = reuse ? last.name : "";
  }
  last.oid.assign(oid.ptr, oid.ptr + oid.len);
  last.namedLength = length;
  last.name = name;
  if (length == 0) return numericOid(oid);
  if (length < oid.len) name += '.' + dottedDecimal(oid.ptr + length, oid.len - length);
  return name;
}

const char* syntaxLabel(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_INT: return "(int,int32)";
    case SNMP_SYNTAX_BITS: return "(bits)";
    case SNMP_SYNTAX_OCTETS: return "(octets)";
    case SNMP_SYNTAX_NULL: return "(null)";
    case SNMP_SYNTAX_OID: return "(oid)";
    case SNMP_SYNTAX_IPADDR: return "(ipaddr)";
    case SNMP_SYNTAX_CNTR32: return "(cntr32)";
    case SNMP_SYNTAX_GAUGE32: return "(gauge32)";
    case SNMP_SYNTAX_TIMETICKS: return "(timeticks)";
    case SNMP_SYNTAX_OPAQUE: return "(opaque)";
    case SNMP_SYNTAX_NSAPADDR: return "(nsapaddr)";
    case SNMP_SYNTAX_CNTR64: return "(cntr64)";
    case SNMP_SYNTAX_UINT32: return "(uint32)";
    case SNMP_SYNTAX_NOSUCHOBJECT: return "(nosuchobject)";
    case SNMP_SYNTAX_NOSUCHINSTANCE: return "(nosuchinstance)";
    case SNMP_SYNTAX_ENDOFMIBVIEW: return "(endofmibview)";
    default: return nullptr;
  }
}

std::string timeTicksText(smiUINT32 ticks) {
  char text[64];
  unsigned days = ticks / 8640000;
  std::snprintf(text, sizeof text, "%u %s %02uh:%02um:%02us.%02uth", days, days == 1 ? "day" : "days",
                ticks / 360000 % 24, ticks / 6000 % 60, ticks / 100 % 60, ticks % 100);
  return text;
}

std::optional<std::string> valueText(const smiVALUE& value) {
  const auto& data = value.value;
  char text[32];
  switch (value.syntax) {
    case SNMP_SYNTAX_INT: return std::to_string(data.sNumber);
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_UINT32: return std::to_string(data.uNumber);
    case SNMP_SYNTAX_TIMETICKS: return timeTicksText(data.uNumber);
    case SNMP_SYNTAX_OCTETS: return octetText(data.string);
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR: return hexForm(data.string.ptr, data.string.len) + " (hex)";
    case SNMP_SYNTAX_IPADDR: return ipAddressText(data.string);
    case SNMP_SYNTAX_OID: return oidValueText(data.oid);
    case SNMP_SYNTAX_NULL: return "NULL";
    case SNMP_SYNTAX_CNTR64:
      std::snprintf(text, sizeof text, "%x.%x (hex)", data.hNumber.hipart, data.hNumber.lopart);
      return text;
    case SNMP_SYNTAX_NOSUCHOBJECT: return "NOSUCHOBJECT";
    case SNMP_SYNTAX_NOSUCHINSTANCE: return "NOSUCHINSTANCE";
    case SNMP_SYNTAX_ENDOFMIBVIEW: return "ENDOFMIBVIEW";
    default: return std::nullopt;
  }
}

std::optional<std::string> variableLine(const smiOID& name, const smiVALUE& value, unsigned flags,
                                        const char* lineBreak) {
  std::string line;
  if (flags & kNewline) line += lineBreak;
  if (flags & kNumericOid) line += numericOid(name);
  if (flags & kNamedOid) line += namedOid(name);
  if (flags & kSeparator) line += " **** ";
  if (flags & kType) {
    const char* label = syntaxLabel(value.syntax);
    line += std::string(label ? label : "") + " ";
  }
  if (flags & kValue) {
    std::optional<std::string> text = valueText(value);
    if (!text) return std::nullopt;
    line += *text;
  }
  return line;
}

const char* errorStatusName(smiINT status) {
  static const char* const names[] = {
      "no error",       "too big",         "no such name",       "bad value",
      "read-only",      "generic error",   "no access",          "wrong type",
      "wrong length",   "wrong encoding",  "wrong value",        "no creation",
      "inconsistent value", "resource unavailable", "commit failed", "undo failed",
      "authorization error", "not writable", "inconsistent name"};
  if (status < 0 || status >= static_cast<smiINT>(sizeof names / sizeof names[0])) return "unknown error";
  return names[status];
}

std::string versionBlock(smiUINT32 major, smiUINT32 minor, smiUINT32 level, smiUINT32 translateMode,
                         smiUINT32 retransmitMode) {
  const char* translate = translateMode == SNMPAPI_TRANSLATED        ? "Translated"
                          : translateMode == SNMPAPI_UNTRANSLATED_V1 ? "Untranslated V1"
                          : translateMode == SNMPAPI_UNTRANSLATED_V2 ? "Untranslated V2"
                                                                     : "";
  const char* retransmit = retransmitMode == SNMPAPI_OFF  ? "Not executing the retransmission policy."
                           : retransmitMode == SNMPAPI_ON ? "Executing the retransmission policy."
                                                          : "";
  char text[512];
  std::snprintf(text, sizeof text,
                "\n\nWinSNMP module version:\n\nMajor version: %u\nMinor version: %u\nLevel: %u"
                "\nTranslate mode: %s\nRetransmit mode: %s\n",
                major, minor, level, translate, retransmit);
  return text;
}

}  // namespace consoleformat
