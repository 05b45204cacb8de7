// Value syntaxes and private copies of names and values.
#include "values.h"

#include <cstring>

namespace netmgr {

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

uint32_t normalizeValue(const smiVALUE* source, smiVALUE& value) {
  value = {};
  value.syntax = source && isKnownSyntax(source->syntax) ? source->syntax : SNMP_SYNTAX_NULL;
  switch (value.syntax) {
    case SNMP_SYNTAX_INT:
      value.value.sNumber = source->value.sNumber;
      return 0;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      value.value.uNumber = source->value.uNumber;
      return 0;
    case SNMP_SYNTAX_CNTR64:
      value.value.hNumber = source->value.hNumber;
      return 0;
    case SNMP_SYNTAX_OID:
      if (source->value.oid.len > 0 && !source->value.oid.ptr) return SNMPAPI_DESCRIPTOR_MISSING;
      value.value.oid = source->value.oid;
      return 0;
    default:
      if (!isDescriptorSyntax(value.syntax)) return 0;
      if (source->value.string.len > 0 && !source->value.string.ptr) return SNMPAPI_DESCRIPTOR_MISSING;
      value.value.string = source->value.string;
      return 0;
  }
}

uint32_t copyOid(platform::CountedHeap& heap, const smiOID& source, smiOID& copy) {
  if (source.len == 0) {
    copy = {0, nullptr};
    return 0;
  }
  if (!source.ptr) return SNMPAPI_OID_INVALID;
  size_t bytes = sizeof(smiUINT32) * source.len;
  void* parts = heap.allocate(bytes);
  if (!parts) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(parts, source.ptr, bytes);
  copy = {source.len, static_cast<smiLPUINT32>(parts)};
  return 0;
}

uint32_t copyValue(platform::CountedHeap& heap, const smiVALUE* source, smiVALUE& copy) {
  smiVALUE value;
  if (uint32_t error = normalizeValue(source, value)) return error;
  ValueBuffer buffer = bufferOf(value);
  void* octets = nullptr;
  if (buffer.bytes > 0) {
    octets = heap.allocate(buffer.bytes);
    if (!octets) return SNMPAPI_ALLOC_ERROR;
    std::memcpy(octets, buffer.data, buffer.bytes);
  }
  rebaseValue(value, octets);
  copy = value;
  return 0;
}

void releaseValue(platform::CountedHeap& heap, smiVALUE& value) {
  heap.release(bufferOf(value).data);
  value = {};
  value.syntax = SNMP_SYNTAX_NULL;
}

void releaseOid(platform::CountedHeap& heap, smiOID& oid) {
  heap.release(oid.ptr);
  oid = {0, nullptr};
}

}  // namespace netmgr
