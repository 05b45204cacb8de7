// The SMIDB reader. Records are walked from offset 0 along their `next`
// fields, which must move strictly forward, so the walk ends after at most
// one step per 16 bytes of file.
#include "smidb_reader.h"

#include "smidb_format.h"

#include <cstring>

namespace modbase {
namespace {

using namespace smidb;

// One record: from its header to the start of the next (or the file end).
struct Record {
  const unsigned char* start;
  uint64_t size;
  size_t fixedSize;

  uint32_t field(size_t offset) const { return load32(start + offset); }
  // Whether [offset, offset + length) lies in the record after its fixed part.
  bool holds(uint64_t offset, uint64_t length) const {
    return offset >= fixedSize && offset <= size && length <= size - offset;
  }
};

size_t fixedSizeOf(uint8_t kind) {
  switch (kind) {
    case kModuleHeaderRecord: return module_header::kFixedSize;
    case kNodeRecord: return node_record::kFixedSize;
    case kObjectTypeRecord: return object_type_record::kFixedSize;
    case kNameRecord: return name_record::kFixedSize;
    default: return record_header::kSize;
  }
}

// A text field: absent (null) when its length is 0, else it must lie in the
// record and hold its terminating zero.
bool readText(const Record& record, size_t offsetField, size_t lengthField, const char*& text) {
  text = nullptr;
  uint32_t length = record.field(lengthField);
  if (length == 0) return true;
  uint32_t offset = record.field(offsetField);
  if (!record.holds(offset, length) || !std::memchr(record.start + offset, 0, length)) return false;
  text = reinterpret_cast<const char*>(record.start + offset);
  return true;
}

bool readOid(const Record& record, OidView& oid) {
  using namespace definition_record;
  uint32_t count = record.field(kOidCount);
  uint32_t bytes = record.field(kOidBytes);
  if (uint64_t(count) * 4 != bytes) return false;
  if (count == 0) return true;
  uint32_t offset = record.field(kOidOffset);
  if (!record.holds(offset, bytes)) return false;
  oid = OidView(record.start + offset, count);
  return true;
}

const char* readModuleHeader(const Record& record, ModuleContents& contents) {
  using namespace module_header;
  contents.formatVersion = record.field(kFormatVersion);
  if (!readText(record, kDescriptionOffset, kDescriptionLength, contents.description) ||
      !readText(record, kNameOffset, kNameLength, contents.moduleName)) {
    return "module header text outside its record";
  }
  return nullptr;
}

const char* readName(const Record& record, ModuleContents& contents) {
  const char* name = nullptr;
  if (!readText(record, name_record::kNameOffset, name_record::kNameLength, name)) {
    return "name outside its record";
  }
  contents.nameTable.push_back(name ? name : "");
  return nullptr;
}

const char* readDefinition(const Record& record, DefinitionKind kind, ModuleContents& contents) {
  using namespace definition_record;
  Definition definition;
  definition.kind = kind;
  if (!readText(record, kNameOffset, kNameLength, definition.name)) return "node name outside its record";
  if (!readOid(record, definition.oid)) return "OID array outside its record or of the wrong length";
  if (!readText(record, kDescriptionOffset, kDescriptionLength, definition.description)) {
    return "description outside its record";
  }
  bool objectType = kind == DefinitionKind::objectType;
  uint32_t moduleIndex =
      record.field(objectType ? object_type_record::kModuleIndex : node_record::kModuleIndex);
  if (moduleIndex < contents.nameTable.size()) definition.definingModule = contents.nameTable[moduleIndex];
  if (objectType) {
    using namespace object_type_record;
    definition.syntax = record.field(kSyntax);
    definition.access = record.field(kAccess);
    definition.status = record.field(kStatus);
    definition.baseSyntaxNameIndex = record.field(kBaseSyntaxNameIndex);
    definition.composedSyntaxNameIndex = record.field(kComposedSyntaxNameIndex);
  }
  contents.definitions.push_back(definition);
  return nullptr;
}

const char* readRecord(uint8_t kind, const Record& record, ModuleContents& contents) {
  switch (kind) {
    case kModuleHeaderRecord: return readModuleHeader(record, contents);
    case kNameRecord: return readName(record, contents);
    case kNodeRecord: return readDefinition(record, DefinitionKind::node, contents);
    case kObjectTypeRecord: return readDefinition(record, DefinitionKind::objectType, contents);
    default: return nullptr;  // the end record holds nothing
  }
}

// Checks the header of the record at `offset`; null when it is sound.
const char* checkHeader(const unsigned char* file, uint64_t size, uint64_t offset, uint64_t& next) {
  if (size - offset < record_header::kSize) return "record beyond the end of the file";
  const unsigned char* header = file + offset;
  if (load32(header + record_header::kMagicField) != kMagic) return "bad magic";
  uint8_t kind = header[record_header::kKind];
  if (kind < kModuleHeaderRecord || kind > kNameRecord) return "unknown record kind";
  if (kind != kEndRecord && header[record_header::kVersion] != kRecordVersion) {
    return "wrong record version";
  }
  next = load64(header + record_header::kNext);
  if (next != 0 && (next <= offset || next > size)) return "next record offset outside the file";
  if ((next ? next : size) - offset < fixedSizeOf(kind)) return "record shorter than its fields";
  return nullptr;
}

}  // namespace

bool readModuleFile(const unsigned char* file, uint64_t size, ModuleContents& contents,
                    ReadFailure& failure) {
  if (size < kSmallestFile) {
    failure = {0, "file too small"};
    return false;
  }
  uint64_t offset = 0;
  for (;;) {
    uint64_t next = 0;
    const char* reason = checkHeader(file, size, offset, next);
    if (!reason) {
      uint8_t kind = file[offset + record_header::kKind];
      Record record{file + offset, (next ? next : size) - offset, fixedSizeOf(kind)};
      reason = readRecord(kind, record, contents);
    }
    if (reason) {
      failure = {offset, reason};
      return false;
    }
    if (next == 0) return true;
    offset = next;
  }
}

}  // namespace modbase
