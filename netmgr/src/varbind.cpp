// Varbind objects: private copies in, descriptor copies out.
#include "varbind.h"

#include "descriptors.h"
#include "values.h"

#include <cstring>

namespace netmgr {
namespace {

platform::CountedHeap& varbindHeap() { return heapOf(ObjectKind::varbind); }

// Stores copies of both or neither: returns 0 or the error.
uint32_t copyNameAndValue(const smiOID& name, const smiVALUE* value, smiOID& nameCopy,
                          smiVALUE& valueCopy) {
  if (uint32_t error = copyOid(varbindHeap(), name, nameCopy)) return error;
  if (uint32_t error = copyValue(varbindHeap(), value, valueCopy)) {
    releaseOid(varbindHeap(), nameCopy);
    return error;
  }
  return 0;
}

// A descriptor-heap copy of `bytes` octets; null for 0 bytes.
void* copyToDescriptor(const void* source, size_t bytes, bool& failed) {
  if (bytes == 0) return nullptr;
  void* copy = allocateDescriptor(bytes);
  if (copy) std::memcpy(copy, source, bytes);
  else failed = true;
  return copy;
}

}  // namespace

uint32_t makeVarbind(Session* session, const smiOID& name, const smiVALUE* value, Varbind*& made) {
  made = nullptr;
  auto* varbind = varbindHeap().make<Varbind>();
  if (!varbind) return SNMPAPI_ALLOC_ERROR;
  if (uint32_t error = copyNameAndValue(name, value, varbind->name, varbind->value)) {
    varbindHeap().dispose(varbind);
    return error;
  }
  varbind->header.session = session;
  made = varbind;
  return 0;
}

uint32_t replaceVarbind(Varbind& varbind, const smiOID& name, const smiVALUE* value) {
  smiOID nameCopy;
  smiVALUE valueCopy;
  if (uint32_t error = copyNameAndValue(name, value, nameCopy, valueCopy)) return error;
  releaseOid(varbindHeap(), varbind.name);
  releaseValue(varbindHeap(), varbind.value);
  varbind.name = nameCopy;
  varbind.value = valueCopy;
  return 0;
}

uint32_t copyVarbindOut(const Varbind& varbind, smiOID& name, smiVALUE& value) {
  bool failed = false;
  name.len = varbind.name.len;
  name.ptr = static_cast<smiLPUINT32>(
      copyToDescriptor(varbind.name.ptr, sizeof(smiUINT32) * varbind.name.len, failed));
  value = {};
  value.syntax = varbind.value.syntax;
  if (varbind.value.syntax == SNMP_SYNTAX_OID) {
    const smiOID& oid = varbind.value.value.oid;
    value.value.oid.len = oid.len;
    value.value.oid.ptr =
        static_cast<smiLPUINT32>(copyToDescriptor(oid.ptr, sizeof(smiUINT32) * oid.len, failed));
  } else if (isDescriptorSyntax(varbind.value.syntax)) {
    const smiOCTETS& string = varbind.value.value.string;
    value.value.string.len = string.len;
    value.value.string.ptr = static_cast<smiLPBYTE>(copyToDescriptor(string.ptr, string.len, failed));
  } else {
    value.value = varbind.value.value;
  }
  if (!failed) return 0;
  releaseDescriptor(name.ptr);
  if (varbind.value.syntax == SNMP_SYNTAX_OID) releaseDescriptor(value.value.oid.ptr);
  else if (isDescriptorSyntax(varbind.value.syntax)) releaseDescriptor(value.value.string.ptr);
  name = {0, nullptr};
  value = {};
  return SNMPAPI_ALLOC_ERROR;
}

void releaseVarbind(Varbind* varbind) {
  releaseOid(varbindHeap(), varbind->name);
  releaseValue(varbindHeap(), varbind->value);
  varbindHeap().dispose(varbind);
}

void discardVarbind(Varbind* varbind) {
  if (retireObject(ObjectKind::varbind, &varbind->header)) releaseVarbind(varbind);
}

void releaseAllVarbinds() {
  for (ObjectHeader* object : liveObjects(ObjectKind::varbind)) {
    discardVarbind(reinterpret_cast<Varbind*>(object));
  }
}

}  // namespace netmgr
