// Value syntaxes and private copies of names and values.
#include "values.h"

#include <cstring>

namespace netmgr {
namespace {

// A copy of `bytes` octets, or null when memory runs out. The caller has
// already ruled out a null source with a non-zero length.
void* copyBuffer(platform::CountedHeap& heap, const void* source, size_t bytes) {
  void* copy = heap.allocate(bytes);
  if (copy) std::memcpy(copy, source, bytes);
  return copy;
}

// Copies the number member the syntax uses; NULL and the exceptions have
// none.
void copyNumber(const smiVALUE& source, smiVALUE& copy) {
  switch (source.syntax) {
    case SNMP_SYNTAX_INT:
      copy.value.sNumber = source.value.sNumber;
      break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      copy.value.uNumber = source.value.uNumber;
      break;
    case SNMP_SYNTAX_CNTR64:
      copy.value.hNumber = source.value.hNumber;
      break;
    default:
      break;
  }
}

}  // namespace

bool isDescriptorSyntax(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_OID:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return true;
    default:
      return false;
  }
}

bool isKnownSyntax(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_INT:
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_CNTR64:
    case SNMP_SYNTAX_UINT32:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      return true;
    default:
      return isDescriptorSyntax(syntax);
  }
}

uint32_t copyOid(platform::CountedHeap& heap, const smiOID& source, smiOID& copy) {
  if (source.len == 0) {
    copy = {0, nullptr};
    return 0;
  }
  if (!source.ptr) return SNMPAPI_OID_INVALID;
  void* parts = copyBuffer(heap, source.ptr, sizeof(smiUINT32) * source.len);
  if (!parts) return SNMPAPI_ALLOC_ERROR;
  copy = {source.len, static_cast<smiLPUINT32>(parts)};
  return 0;
}

uint32_t copyValue(platform::CountedHeap& heap, const smiVALUE* source, smiVALUE& copy) {
  if (!source || !isKnownSyntax(source->syntax)) {
    copy = {};
    copy.syntax = SNMP_SYNTAX_NULL;
    return 0;
  }
  if (source->syntax == SNMP_SYNTAX_OID) {
    smiOID parts;
    uint32_t error = copyOid(heap, source->value.oid, parts);
    if (error) return error == SNMPAPI_OID_INVALID ? SNMPAPI_DESCRIPTOR_MISSING : error;
    copy = *source;
    copy.value.oid = parts;
    return 0;
  }
  if (isDescriptorSyntax(source->syntax)) {
    const smiOCTETS& string = source->value.string;
    smiOCTETS octets{0, nullptr};
    if (string.len > 0) {
      if (!string.ptr) return SNMPAPI_DESCRIPTOR_MISSING;
      octets.ptr = static_cast<smiLPBYTE>(copyBuffer(heap, string.ptr, string.len));
      if (!octets.ptr) return SNMPAPI_ALLOC_ERROR;
      octets.len = string.len;
    }
    copy = *source;
    copy.value.string = octets;
    return 0;
  }
  copy = {};
  copy.syntax = source->syntax;
  copyNumber(*source, copy);
  return 0;
}

void releaseValue(platform::CountedHeap& heap, smiVALUE& value) {
  if (value.syntax == SNMP_SYNTAX_OID) heap.release(value.value.oid.ptr);
  else if (isDescriptorSyntax(value.syntax)) heap.release(value.value.string.ptr);
  value = {};
  value.syntax = SNMP_SYNTAX_NULL;
}

void releaseOid(platform::CountedHeap& heap, smiOID& oid) {
  heap.release(oid.ptr);
  oid = {0, nullptr};
}

}  // namespace netmgr
