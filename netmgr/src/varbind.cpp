// Varbind objects: private copies in, descriptor copies out.
#include "varbind.h"

#include "descriptors.h"
#include "values.h"

#include <cstring>
#include <new>
#include <type_traits>

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

// What a new varbind's block holds: the value as stored and the sizes of
// the copies that follow the varbind.
struct Layout {
  smiVALUE stored;
  ValueBuffer buffer;
  size_t nameBytes;
  size_t blockBytes() const { return sizeof(Varbind) + nameBytes + buffer.bytes; }
};

[[nodiscard]] uint32_t layoutOf(const smiOID& name, const smiVALUE* value, Layout& layout) {
  if (name.len > 0 && !name.ptr) return SNMPAPI_OID_INVALID;
  if (uint32_t error = normalizeValue(value, layout.stored)) return error;
  layout.buffer = bufferOf(layout.stored);
  layout.nameBytes = sizeof(smiUINT32) * name.len;
  return 0;
}

// Every field is written once, straight into the block; the copies
// follow the varbind.
Varbind* placeVarbind(void* block, Session* session, const smiOID& name, const Layout& layout) {
  static_assert(std::is_trivially_default_constructible_v<Varbind>);
  auto* varbind = new (block) Varbind;
  auto* storage = static_cast<smiBYTE*>(block) + sizeof(Varbind);
  size_t nameBytes = layout.nameBytes, valueBytes = layout.buffer.bytes;
  if (nameBytes) std::memcpy(storage, name.ptr, nameBytes);
  if (valueBytes) std::memcpy(storage + nameBytes, layout.buffer.data, valueBytes);
  varbind->header = {nullptr, session, 0, 0};
  varbind->index = 0;
  varbind->name = {name.len, name.len ? reinterpret_cast<smiLPUINT32>(storage) : nullptr};
  varbind->value = layout.stored;
  rebaseValue(varbind->value, valueBytes ? storage + nameBytes : nullptr);
  varbind->inlineBytes = static_cast<smiUINT32>(nameBytes + valueBytes);
  return varbind;
}

// Gives back the separate buffers and unmarks; the block itself is the
// caller's to release.
void retireVarbind(Varbind& varbind) {
  varbind.header.marker = 0;
  releaseSeparate(varbind, varbind.name.ptr);
  releaseSeparate(varbind, bufferOf(varbind.value).data);
}

}  // namespace

uint32_t makeVarbind(Session* session, const smiOID& name, const smiVALUE* value, Varbind*& made) {
  made = nullptr;
  Layout layout;
  if (uint32_t error = layoutOf(name, value, layout)) return error;
  void* block = varbindHeap().allocate(layout.blockBytes());
  if (!block) return SNMPAPI_ALLOC_ERROR;
  made = placeVarbind(block, session, name, layout);
  return 0;
}

uint32_t makeVarbinds(Session* session, const smiOID* names, const smiVALUE* values, size_t count,
                      Varbind** made) {
  Layout layouts[kVarbindBatch];
  size_t sizes[kVarbindBatch];
  void* blocks[kVarbindBatch];
  for (size_t index = 0; index < count; ++index) {
    layouts[index] = {values[index], bufferOf(values[index]), sizeof(smiUINT32) * names[index].len};
    sizes[index] = layouts[index].blockBytes();
  }
  if (!varbindHeap().allocateMany(sizes, count, blocks)) return SNMPAPI_ALLOC_ERROR;
  for (size_t index = 0; index < count; ++index) {
    made[index] = placeVarbind(blocks[index], session, names[index], layouts[index]);
  }
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
  retireVarbind(*varbind);
  varbindHeap().dispose(varbind);
}

void releaseVarbinds(Varbind* const* varbinds, size_t count) {
  static_assert(std::is_trivially_destructible_v<Varbind>);
  void* blocks[kVarbindBatch];
  for (size_t index = 0; index < count; ++index) {
    retireVarbind(*varbinds[index]);
    blocks[index] = varbinds[index];
  }
  varbindHeap().releaseMany(blocks, count);
}

long liveVarbinds() { return varbindHeap().liveCount(); }

}  // namespace netmgr
