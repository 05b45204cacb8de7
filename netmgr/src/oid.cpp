// Object identifiers: dotted text to descriptor and back, copies and
// comparison. These need a started library but no handle.
#include "oid.h"

#include "call_frame.h"
#include "descriptors.h"
#include "values.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace netmgr {
namespace {

// Reads an unsigned 32-bit decimal number after optional blanks. Null when
// there is no number or it does not fit in 32 bits.
const char* readSubidentifier(const char* text, smiUINT32& value) {
  while (*text == ' ' || *text == '\t') ++text;
  const char* end = text + std::strlen(text);
  auto [next, error] = std::from_chars(text, end, value);
  if (error != std::errc() || next == text) return nullptr;
  return next;
}

// Parses dotted decimal. A non-dot after a number skips to the next dot,
// and a final dot ends the text: "1.3x.6" is 1.3.6, "1.3.6." is 1.3.6.
// Returns 0, or 17 when the OID grows past its limit; a text that is not
// dotted decimal leaves `parts` empty.
[[nodiscard]] uint32_t parseDotted(const char* text, std::vector<smiUINT32>& parts) {
  const char* position = text;
  for (;;) {
    smiUINT32 value = 0;
    position = readSubidentifier(position, value);
    if (!position) {
      parts.clear();
      return 0;
    }
    if (parts.size() == kMaxOidLength) return SNMPAPI_SIZE_INVALID;
    parts.push_back(value);
    position = std::strchr(position, '.');
    if (!position || position[1] == '\0') return 0;
    ++position;
  }
}

// A fresh descriptor copy of `length` sub-identifiers. Returns 0 or 2.
[[nodiscard]] uint32_t copyOut(const smiUINT32* source, smiUINT32 length, smiOID& destination) {
  auto* copy = static_cast<smiUINT32*>(allocateDescriptor(sizeof(smiUINT32) * length));
  if (!copy) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(copy, source, sizeof(smiUINT32) * length);
  destination.len = length;
  destination.ptr = copy;
  return 0;
}

bool isUsable(smiLPCOID oid) { return oid && oid->len > 0 && oid->ptr; }

int threeWay(smiUINT32 left, smiUINT32 right) { return left < right ? -1 : left > right ? 1 : 0; }

}  // namespace

// The order of two OIDs over at most `limit` leading sub-identifiers
// (0: all of them).
int compareOids(const smiOID& first, const smiOID& second, smiUINT32 limit) {
  smiUINT32 firstLength = limit ? std::min(first.len, limit) : first.len;
  smiUINT32 secondLength = limit ? std::min(second.len, limit) : second.len;
  smiUINT32 common = std::min(firstLength, secondLength);
  for (smiUINT32 i = 0; i < common; ++i) {
    if (int order = threeWay(first.ptr[i], second.ptr[i])) return order;
  }
  return threeWay(firstLength, secondLength);
}

}  // namespace netmgr

using namespace netmgr;

extern "C" {

SNMPAPI_STATUS SnmpStrToOid(LPCSTR text, smiLPOID oid) {
  return runExport([&](CallFrame& frame) -> SNMPAPI_STATUS {
    if (!text || !oid) return frame.fail(SNMPAPI_DESCRIPTOR_MISSING);
    std::vector<smiUINT32> parts;
    if (uint32_t error = parseDotted(text, parts)) return frame.fail(error);
    // Not dotted decimal: a failure that leaves the last error at 0.
    if (parts.empty()) return SNMPAPI_FAILURE;
    if (uint32_t error = copyOut(parts.data(), static_cast<smiUINT32>(parts.size()), *oid)) return frame.fail(error);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpOidToStr(smiLPCOID oid, smiUINT32 size, LPSTR buffer) {
  return runExport([&](CallFrame& frame) -> SNMPAPI_STATUS {
    if (!isUsable(oid)) return frame.fail(SNMPAPI_OID_INVALID);
    if (!buffer) return frame.fail(SNMPAPI_OTHER_ERROR);
    if (size == 0) return frame.fail(SNMPAPI_OUTPUT_TRUNCATED);
    buffer[0] = '\0';
    size_t used = 0;
    // Each piece is appended only when it and the terminator still fit.
    auto append = [&](const char* piece, size_t length) {
      if (used + length + 1 > size) return false;
      std::memcpy(buffer + used, piece, length);
      used += length;
      buffer[used] = '\0';
      return true;
    };
    for (smiUINT32 i = 0; i < oid->len; ++i) {
      char number[16];
      auto result = std::to_chars(number, number + sizeof number, oid->ptr[i]);
      if (!append(number, static_cast<size_t>(result.ptr - number))) return frame.fail(SNMPAPI_OUTPUT_TRUNCATED);
      if (i + 1 < oid->len && !append(".", 1)) return frame.fail(SNMPAPI_OUTPUT_TRUNCATED);
    }
    return static_cast<SNMPAPI_STATUS>(used + 1);
  });
}

SNMPAPI_STATUS SnmpOidCopy(smiLPOID source, smiLPOID destination) {
  return runExport([&](CallFrame& frame) -> SNMPAPI_STATUS {
    if (!source || !destination) return frame.fail(SNMPAPI_OID_INVALID);
    if (source->len == 0 || source->len > kMaxOidLength) return frame.fail(SNMPAPI_SIZE_INVALID);
    if (!source->ptr) return frame.fail(SNMPAPI_OID_INVALID);
    if (uint32_t error = copyOut(source->ptr, source->len, *destination)) return frame.fail(error);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpOidCompare(smiLPCOID first, smiLPCOID second, smiUINT32 maximumLength,
                              smiLPINT result) {
  return runExport([&](CallFrame&) -> SNMPAPI_STATUS {
    if (!isUsable(first) || !isUsable(second) || maximumLength >= kCompareLimit || !result) {
      return SNMPAPI_FAILURE;
    }
    *result = compareOids(*first, *second, maximumLength);
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpFreeDescriptor(smiUINT32 syntax, smiLPOPAQUE descriptor) {
  return runExport([&](CallFrame& frame) -> SNMPAPI_STATUS {
    if (!isDescriptorSyntax(syntax)) return frame.fail(SNMPAPI_SYNTAX_INVALID);
    if (!descriptor || !descriptor->ptr) return frame.fail(SNMPAPI_DESCRIPTOR_MISSING);
    if (!releaseDescriptor(descriptor->ptr)) return frame.fail(SNMPAPI_OPERATION_INVALID);
    descriptor->ptr = nullptr;
    descriptor->len = 0;
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
