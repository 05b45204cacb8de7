// Value syntaxes and private copies of names and values.
#include "values.h"

#include <cstring>

namespace netmgr {

uint32_t normalizeValue(const smiVALUE* source, smiVALUE& value) {
  value = {};
  value.syntax = SNMP_SYNTAX_NULL;
  if (!source) return 0;
  switch (source->syntax) {
    case SNMP_SYNTAX_INT:
      value.value.sNumber = source->value.sNumber;
      break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      value.value.uNumber = source->value.uNumber;
      break;
    case SNMP_SYNTAX_CNTR64:
      value.value.hNumber = source->value.hNumber;
      break;
    case SNMP_SYNTAX_OID:
      if (source->value.oid.len > 0 && !source->value.oid.ptr) return SNMPAPI_DESCRIPTOR_MISSING;
      value.value.oid = source->value.oid;
      break;
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      if (source->value.string.len > 0 && !source->value.string.ptr) return SNMPAPI_DESCRIPTOR_MISSING;
      value.value.string = source->value.string;
      break;
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      break;
    default:
      return 0;  // unknown syntaxes are stored as NULL
  }
  value.syntax = source->syntax;
  return 0;
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
