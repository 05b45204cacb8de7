// Varbind objects: private copies in, descriptor copies out.
#include "varbind.h"

#include "descriptors.h"
#include "values.h"

#include <cstring>
#include <new>

namespace netmgr {
namespace {

platform::CountedHeap& varbindHeap() { return heapOf(ObjectKind::varbind); }

smiBYTE* inlineStorage(const Varbind& varbind) {
  return reinterpret_cast<smiBYTE*>(const_cast<Varbind*>(&varbind) + 1);
}

// Buffers outside the varbind's own block were allocated separately (by a
// replacement) and are released separately.
void releaseSeparate(Varbind& varbind, void* buffer) {
  auto* octet = static_cast<smiBYTE*>(buffer);
  smiBYTE* storage = inlineStorage(varbind);
  if (octet && !(octet >= storage && octet < storage + varbind.inlineBytes)) varbindHeap().release(buffer);
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
  smiVALUE stored;
  if (name.len > 0 && !name.ptr) return SNMPAPI_OID_INVALID;
  if (uint32_t error = normalizeValue(value, stored)) return error;
  size_t nameBytes = sizeof(smiUINT32) * name.len;
  ValueBuffer buffer = bufferOf(stored);
  void* block = varbindHeap().allocate(sizeof(Varbind) + nameBytes + buffer.bytes);
  if (!block) return SNMPAPI_ALLOC_ERROR;
  auto* varbind = new (block) Varbind{};
  smiBYTE* storage = inlineStorage(*varbind);
  if (nameBytes) std::memcpy(storage, name.ptr, nameBytes);
  if (buffer.bytes) std::memcpy(storage + nameBytes, buffer.data, buffer.bytes);
  varbind->header.session = session;
  varbind->name = {name.len, name.len ? reinterpret_cast<smiLPUINT32>(storage) : nullptr};
  varbind->value = stored;
  rebaseValue(varbind->value, buffer.bytes ? storage + nameBytes : nullptr);
  varbind->inlineBytes = static_cast<smiUINT32>(nameBytes + buffer.bytes);
  made = varbind;
  return 0;
}

uint32_t replaceVarbind(Varbind& varbind, const smiOID& name, const smiVALUE* value) {
  smiOID nameCopy;
  smiVALUE valueCopy;
  if (uint32_t error = copyOid(varbindHeap(), name, nameCopy)) return error;
  if (uint32_t error = copyValue(varbindHeap(), value, valueCopy)) {
    releaseOid(varbindHeap(), nameCopy);
    return error;
  }
  releaseSeparate(varbind, varbind.name.ptr);
  releaseSeparate(varbind, bufferOf(varbind.value).data);
  varbind.name = nameCopy;
  varbind.value = valueCopy;
  return 0;
}

uint32_t copyVarbindOut(const Varbind& varbind, smiOID& name, smiVALUE& value) {
  bool failed = false;
  name.len = varbind.name.len;
  name.ptr = static_cast<smiLPUINT32>(
      copyToDescriptor(varbind.name.ptr, sizeof(smiUINT32) * varbind.name.len, failed));
  value = varbind.value;
  ValueBuffer buffer = bufferOf(varbind.value);
  void* copy = copyToDescriptor(buffer.data, buffer.bytes, failed);
  rebaseValue(value, copy);
  if (!failed) return 0;
  releaseDescriptor(name.ptr);
  releaseDescriptor(copy);
  name = {0, nullptr};
  value = {};
  return SNMPAPI_ALLOC_ERROR;
}

void releaseVarbind(Varbind* varbind) {
  varbind->header.marker = 0;
  releaseSeparate(*varbind, varbind->name.ptr);
  releaseSeparate(*varbind, bufferOf(varbind->value).data);
  varbindHeap().dispose(varbind);
}

long liveVarbinds() { return varbindHeap().liveCount(); }

}  // namespace netmgr
