// The SMIDB writer and reader: the byte layout the writer produces, files
// read back exactly, and every kind of damage refused as a whole.
#include "module_files.h"
#include "smidb_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace testing_modules;
using namespace smidb;

// Header, three names, a node and two object types, end.
Bytes sampleFile() {
  Writer writer("TEST-MIB", "a description");
  uint32_t own = writer.addName("TEST-MIB");
  uint32_t smi = writer.addName("RFC1155-SMI");
  uint32_t display = writer.addName("DisplayString");
  EXPECT_EQ(writer.addName("RFC1155-SMI"), smi);  // names are stored once
  writer.addNode("internet", Oid{1, 3, 6, 1}, smi);
  ObjectTypeCodes codes;
  codes.syntax = 4;
  codes.access = kReadOnly;
  codes.status = kCurrent;
  codes.composedSyntaxNameIndex = display;
  writer.addObjectType("testDescr", Oid{1, 3, 6, 1, 4, 1, 27182, 1}, own, codes, "what it is");
  writer.addObjectType("testCount", Oid{1, 3, 6, 1, 4, 1, 27182, 2}, 77, ObjectTypeCodes{});
  return writer.bytes();
}

bool reads(const Bytes& file, modbase::ModuleContents& contents) {
  modbase::ReadFailure failure;
  return modbase::readModuleFile(file.data(), file.size(), contents, failure);
}

std::vector<uint32_t> oidOf(const modbase::Definition& definition) {
  std::vector<uint32_t> oid;
  for (uint32_t i = 0; i < definition.oid.size(); ++i) oid.push_back(definition.oid[i]);
  return oid;
}

TEST(SmidbWriter, ChainsRecordsWithARunningSize) {
  Bytes file = sampleFile();
  std::vector<size_t> offsets = recordOffsets(file);
  ASSERT_EQ(offsets.size(), 8u);  // header, 3 names, 3 definitions, end
  const uint32_t kinds[] = {0x101, 0x105, 0x105, 0x105, 0x103, 0x104, 0x104, 0x102};
  for (size_t i = 0; i < offsets.size(); ++i) {
    const unsigned char* record = file.data() + offsets[i];
    EXPECT_EQ(std::memcmp(record, " oV ", 4), 0);
    EXPECT_EQ(load32(record + 4), kinds[i]) << i;
    uint64_t next = load64(record + record_header::kNext);
    EXPECT_EQ(next, i + 1 < offsets.size() ? offsets[i + 1] : 0) << i;
  }
  EXPECT_EQ(offsets.back() + record_header::kSize, file.size());

  const unsigned char* header = file.data();
  EXPECT_EQ(load32(header + module_header::kFormatVersion), 2u);
  EXPECT_EQ(load32(header + module_header::kDescriptionOffset), 40u);
  EXPECT_EQ(load32(header + module_header::kDescriptionLength), 14u);
  EXPECT_EQ(load32(header + module_header::kNameOffset), 54u);
  EXPECT_EQ(load32(header + module_header::kNameLength), 9u);

  const unsigned char* name = file.data() + offsets[2];
  EXPECT_EQ(load32(name + name_record::kIndex), 1u);
  EXPECT_EQ(load32(name + name_record::kNameOffset), 32u);
  EXPECT_STREQ(reinterpret_cast<const char*>(name + 32), "RFC1155-SMI");

  const unsigned char* node = file.data() + offsets[4];
  EXPECT_EQ(load32(node + definition_record::kNameOffset), 48u);
  EXPECT_EQ(load32(node + definition_record::kOidOffset), 48u + 9u);
  EXPECT_EQ(load32(node + definition_record::kOidBytes), 16u);
  EXPECT_EQ(load32(node + definition_record::kOidCount), 4u);
  EXPECT_EQ(load32(node + definition_record::kDescriptionOffset), 0u);
  EXPECT_EQ(offsets[5] - offsets[4], 48u + 9u + 16u);

  // An object type without description ends right after its OID array.
  const unsigned char* count = file.data() + offsets[6];
  EXPECT_EQ(load32(count + definition_record::kNameOffset), 80u);
  EXPECT_EQ(load32(count + definition_record::kDescriptionLength), 0u);
  EXPECT_EQ(load32(count + object_type_record::kBaseSyntaxNameIndex), kNoNameIndex);
  EXPECT_EQ(offsets[7] - offsets[6], 80u + 10u + 32u);
}

TEST(SmidbWriter, DescribesTheModuleWithItsCreationTime) {
  std::string description = makeDescription("IF-MIB", 0);
  const std::string start =
      "SMI module database created with Orvane MIB Compiler Verison Preview Release 2. Module "
      "'IF-MIB'. Version 2. Created ";
  ASSERT_EQ(description.rfind(start, 0), 0u) << description;
  // asctime's rendering, with its line feed before the final full stop.
  EXPECT_EQ(description.size(), start.size() + 25 + 1);
  EXPECT_EQ(description.substr(description.size() - 2), "\n.");
}

TEST(SmidbCodes, KeywordsMapToTheirStoredCodes) {
  EXPECT_EQ(codeOf(kAccessKeywords, "read-create"), 5u);
  EXPECT_EQ(codeOf(kAccessKeywords, "read-only"), 1u);
  EXPECT_EQ(codeOf(kAccessKeywords, "accessible-for-notify"), 0u);
  EXPECT_EQ(codeOf(kStatusKeywords, "deprecated"), 4u);
  EXPECT_EQ(codeOf(kStatusKeywords, "Current"), 0u);  // keywords are case-sensitive
  EXPECT_EQ(codeOf(kSyntaxKeywords, "Counter64", kSyntaxOfOtherKeyword), 70u);
  EXPECT_EQ(codeOf(kSyntaxKeywords, "NetworkAddress", kSyntaxOfOtherKeyword), 64u);
  EXPECT_EQ(codeOf(kSyntaxKeywords, "BITS", kSyntaxOfOtherKeyword), 5u);
}

TEST(SmidbReader, ReadsBackWhatTheWriterWrote) {
  Bytes file = sampleFile();
  modbase::ModuleContents contents;
  ASSERT_TRUE(reads(file, contents));
  EXPECT_EQ(contents.formatVersion, 2u);
  EXPECT_STREQ(contents.description, "a description");
  EXPECT_STREQ(contents.moduleName, "TEST-MIB");
  ASSERT_EQ(contents.nameTable.size(), 3u);
  EXPECT_STREQ(contents.nameTable[2], "DisplayString");
  ASSERT_EQ(contents.definitions.size(), 3u);

  const modbase::Definition& internet = contents.definitions[0];
  EXPECT_EQ(internet.kind, modbase::DefinitionKind::node);
  EXPECT_STREQ(internet.name, "internet");
  EXPECT_EQ(oidOf(internet), (std::vector<uint32_t>{1, 3, 6, 1}));
  EXPECT_STREQ(internet.definingModule, "RFC1155-SMI");
  EXPECT_EQ(internet.description, nullptr);

  const modbase::Definition& descr = contents.definitions[1];
  EXPECT_EQ(descr.kind, modbase::DefinitionKind::objectType);
  EXPECT_EQ(oidOf(descr), (std::vector<uint32_t>{1, 3, 6, 1, 4, 1, 27182, 1}));
  EXPECT_STREQ(descr.description, "what it is");
  EXPECT_STREQ(descr.definingModule, "TEST-MIB");
  EXPECT_EQ(descr.syntax, 4u);
  EXPECT_EQ(descr.access, 1u);
  EXPECT_EQ(descr.status, 5u);
  EXPECT_EQ(descr.composedSyntaxNameIndex, 2u);
  EXPECT_EQ(descr.baseSyntaxNameIndex, kNoNameIndex);

  // A module index beyond the name table means the module itself.
  EXPECT_EQ(contents.definitions[2].definingModule, nullptr);
}

TEST(SmidbReader, AHeaderAndAnEndAreAnEmptyModule) {
  Bytes file = Writer("EMPTY-MIB", "").bytes();
  modbase::ModuleContents contents;
  ASSERT_TRUE(reads(file, contents));
  EXPECT_TRUE(contents.definitions.empty());
  EXPECT_EQ(contents.description, nullptr);
  EXPECT_STREQ(contents.moduleName, "EMPTY-MIB");
}

struct Damage {
  const char* what;
  size_t record;  // index in the chain
  size_t field;   // offset in the record
  uint32_t value;
  const char* reason;
};

TEST(SmidbReader, RefusesEachKindOfDamage) {
  const Bytes good = sampleFile();
  const std::vector<size_t> offsets = recordOffsets(good);
  const Damage damages[] = {
      {"bad magic", 0, record_header::kMagicField, 0x20566F21, "bad magic"},
      {"unknown kind", 4, record_header::kKind, 0x106, "unknown record kind"},
      {"kind zero", 4, record_header::kKind, 0x100, "unknown record kind"},
      {"wrong version", 5, record_header::kKind, 0x204, "wrong record version"},
      {"next beyond the end", 4, record_header::kNext, 0xFFFFFF, "next record offset outside the file"},
      {"next pointing back", 5, record_header::kNext, 16, "next record offset outside the file"},
      {"next pointing at itself", 1, record_header::kNext, 0, "next record offset outside the file"},
      {"next too close", 4, record_header::kNext, 0, "record shorter than its fields"},
      {"name beyond its record", 4, definition_record::kNameOffset, 5000,
       "node name outside its record"},
      {"name inside the fixed part", 4, definition_record::kNameOffset, 8,
       "node name outside its record"},
      {"name length too long", 4, definition_record::kNameLength, 0xFFFFFFFF,
       "node name outside its record"},
      {"name without its zero", 4, definition_record::kNameLength, 8, "node name outside its record"},
      {"OID beyond its record", 5, definition_record::kOidOffset, 0x7FFFFFFF,
       "OID array outside its record or of the wrong length"},
      {"OID count and length disagree", 5, definition_record::kOidCount, 9,
       "OID array outside its record or of the wrong length"},
      {"OID count overflowing", 5, definition_record::kOidCount, 0x40000002,
       "OID array outside its record or of the wrong length"},
      {"description beyond its record", 5, definition_record::kDescriptionLength, 200,
       "description outside its record"},
      {"module name beyond its record", 0, module_header::kNameOffset, 60,
       "module header text outside its record"},
      {"name record text beyond", 1, name_record::kNameLength, 100, "name outside its record"},
  };
  for (const Damage& damage : damages) {
    Bytes file = good;
    size_t at = offsets[damage.record] + damage.field;
    if (damage.field == record_header::kKind) {
      file[at] = static_cast<unsigned char>(damage.value);
      file[at + 1] = static_cast<unsigned char>(damage.value >> 8);
    } else if (damage.field == record_header::kNext && damage.value == 0 && damage.record == 1) {
      store64(file.data() + at, offsets[1]);
    } else if (damage.field == record_header::kNext && damage.value == 0) {
      store64(file.data() + at, offsets[damage.record] + 20);
    } else if (damage.field == record_header::kNext) {
      store64(file.data() + at, damage.value);
    } else {
      store32(file.data() + at, damage.value);
    }
    modbase::ModuleContents contents;
    modbase::ReadFailure failure;
    EXPECT_FALSE(modbase::readModuleFile(file.data(), file.size(), contents, failure)) << damage.what;
    EXPECT_STREQ(failure.reason, damage.reason) << damage.what;
    EXPECT_EQ(failure.offset, offsets[damage.record]) << damage.what;
  }
}

TEST(SmidbReader, EveryTruncationIsRefused) {
  const Bytes good = sampleFile();
  for (size_t size = 0; size < good.size(); ++size) {
    Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(size));
    modbase::ModuleContents contents;
    EXPECT_FALSE(reads(cut, contents)) << size;
  }
}

TEST(SmidbReader, StopsAtTheFirstRecordWithoutANext) {
  Bytes file = sampleFile();
  std::vector<size_t> offsets = recordOffsets(file);
  store64(file.data() + offsets[4] + record_header::kNext, 0);  // the node record ends the chain
  store32(file.data() + offsets[5], 0);                          // what follows is never read
  modbase::ModuleContents contents;
  ASSERT_TRUE(reads(file, contents));
  EXPECT_EQ(contents.definitions.size(), 1u);
}

}  // namespace
