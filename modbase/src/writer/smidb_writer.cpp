// The SMIDB writer: each record is built as bytes with its `next` field
// left at 0, and the chain is closed when the file is assembled.
#include "smidb_writer.h"

#include "platform/atomic_file.h"

#include <algorithm>
#include <cstring>

namespace smidb {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes recordOf(RecordKind kind, size_t fixedSize) {
  Bytes record(fixedSize, 0);
  store32(record.data() + record_header::kMagicField, kMagic);
  record[record_header::kKind] = kind;
  record[record_header::kVersion] = kRecordVersion;
  return record;
}

void put32(Bytes& record, size_t field, size_t value) {
  store32(record.data() + field, static_cast<uint32_t>(value));
}

// Appends `text` and its zero; returns its length with the zero.
size_t appendString(Bytes& record, std::string_view text) {
  record.insert(record.end(), text.begin(), text.end());
  record.push_back(0);
  return text.size() + 1;
}

// Appends name (none when empty), OID array and optional description,
// filling their fields.
void appendDefinitionBody(Bytes& record, std::string_view name, std::span<const uint32_t> oid,
                          std::optional<std::string_view> description) {
  using namespace definition_record;
  put32(record, kNameOffset, record.size());
  if (!name.empty()) put32(record, kNameLength, appendString(record, name));
  put32(record, kOidOffset, record.size());
  put32(record, kOidBytes, 4 * oid.size());
  put32(record, kOidCount, oid.size());
  for (uint32_t subidentifier : oid) {
    record.resize(record.size() + 4);
    store32(record.data() + record.size() - 4, subidentifier);
  }
  if (description) {
    put32(record, kDescriptionOffset, record.size());
    put32(record, kDescriptionLength, appendString(record, *description));
  }
}

Bytes moduleHeaderRecord(std::string_view moduleName, std::string_view description) {
  using namespace module_header;
  Bytes record = recordOf(kModuleHeaderRecord, kFixedSize);
  put32(record, kFormatVersion, kDatabaseFormatVersion);
  put32(record, kDescriptionOffset, record.size());
  if (!description.empty()) put32(record, kDescriptionLength, appendString(record, description));
  put32(record, kNameOffset, record.size());
  put32(record, kNameLength, appendString(record, moduleName));
  return record;
}

Bytes nameRecord(uint32_t index, std::string_view name) {
  using namespace name_record;
  Bytes record = recordOf(kNameRecord, kFixedSize);
  put32(record, kIndex, index);
  put32(record, kNameOffset, record.size());
  put32(record, kNameLength, appendString(record, name));
  return record;
}

// Appends `record` to `file`, its `next` pointing just past it.
void chain(Bytes& file, Bytes record, bool last) {
  uint64_t runningSize = file.size() + record.size();
  store64(record.data() + record_header::kNext, last ? 0 : runningSize);
  file.insert(file.end(), record.begin(), record.end());
}

}  // namespace

Writer::Writer(std::string_view moduleName, std::string_view description)
    : moduleName_(moduleName), description_(description) {}

uint32_t Writer::addName(std::string_view name) {
  auto found = std::find(names_.begin(), names_.end(), name);
  if (found != names_.end()) return static_cast<uint32_t>(found - names_.begin());
  names_.emplace_back(name);
  return static_cast<uint32_t>(names_.size() - 1);
}

void Writer::addNode(std::string_view name, std::span<const uint32_t> oid, uint32_t moduleIndex,
                     std::optional<std::string_view> description) {
  Bytes record = recordOf(kNodeRecord, node_record::kFixedSize);
  put32(record, node_record::kModuleIndex, moduleIndex);
  appendDefinitionBody(record, name, oid, description);
  definitionRecords_.push_back(std::move(record));
}

void Writer::addObjectType(std::string_view name, std::span<const uint32_t> oid,
                           uint32_t moduleIndex, const ObjectTypeCodes& codes,
                           std::optional<std::string_view> description) {
  using namespace object_type_record;
  Bytes record = recordOf(kObjectTypeRecord, kFixedSize);
  put32(record, kSyntax, codes.syntax);
  put32(record, kAccess, codes.access);
  put32(record, kStatus, codes.status);
  put32(record, kModuleIndex, moduleIndex);
  put32(record, kBaseSyntaxNameIndex, codes.baseSyntaxNameIndex);
  put32(record, kComposedSyntaxNameIndex, codes.composedSyntaxNameIndex);
  appendDefinitionBody(record, name, oid, description);
  definitionRecords_.push_back(std::move(record));
}

std::vector<unsigned char> Writer::bytes() const {
  Bytes file;
  chain(file, moduleHeaderRecord(moduleName_, description_), false);
  for (size_t index = 0; index < names_.size(); ++index) {
    chain(file, nameRecord(static_cast<uint32_t>(index), names_[index]), false);
  }
  for (const Bytes& record : definitionRecords_) chain(file, record, false);
  chain(file, recordOf(kEndRecord, record_header::kSize), true);
  return file;
}

bool Writer::save(const std::string& path, std::string& error) const {
  Bytes file = bytes();
  int number = 0;
  if (platform::replaceFileAtomically(
          path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), number)) {
    return true;
  }
  error = std::strerror(number);
  return false;
}

std::string makeDescription(std::string_view moduleName, std::time_t created) {
  std::tm local{};
  char time[64] = "";
  if (localtime_r(&created, &local)) asctime_r(&local, time);
  std::string description = std::string(kDescriptionBanner) + " Module '" + std::string(moduleName) +
                            "'. Version " + std::to_string(kDatabaseFormatVersion) + ". Created " +
                            time + ".";
  return description;
}

}  // namespace smidb
