#include "compiler_fixture.h"

#include "modforge/module_saver.h"

#include <cstdint>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace modforge;

namespace {

using Bytes = std::string;

// Little-endian pieces of the expected file, written out by hand from the
// record layouts so that the test does not share code with the writer.
Bytes le32(uint32_t value) {
  Bytes bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

Bytes recordHeader(uint8_t kind, uint64_t next) {
  Bytes bytes = "\x20\x6F\x56\x20";
  bytes += static_cast<char>(kind);
  bytes += '\x01';
  bytes += Bytes(2, '\0');
  bytes += le32(static_cast<uint32_t>(next)) + le32(static_cast<uint32_t>(next >> 32));
  return bytes;
}

Bytes text(const std::string& value) { return value + '\0'; }

Bytes oidArray(const std::vector<uint32_t>& oid) {
  Bytes bytes;
  for (uint32_t part : oid) bytes += le32(part);
  return bytes;
}

class ExpectedFile {
 public:
  void moduleHeader(const std::string& description, const std::string& module) {
    Bytes body = le32(2) + le32(0) + le32(40) + le32(static_cast<uint32_t>(description.size() + 1)) +
                 le32(static_cast<uint32_t>(40 + description.size() + 1)) + le32(static_cast<uint32_t>(module.size() + 1)) +
                 text(description) + text(module);
    add(1, body);
  }
  void name(uint32_t index, const std::string& value) {
    add(5, le32(index) + le32(32) + le32(static_cast<uint32_t>(value.size() + 1)) + le32(0) + text(value));
  }
  void node(const std::string& nodeName, const std::vector<uint32_t>& oid, uint32_t module) {
    uint32_t nameLength = static_cast<uint32_t>(nodeName.size() + 1);
    add(3, le32(48) + le32(nameLength) + le32(48 + nameLength) + le32(static_cast<uint32_t>(4 * oid.size())) +
               le32(static_cast<uint32_t>(oid.size())) + le32(0) + le32(0) + le32(module) + text(nodeName) +
               oidArray(oid));
  }
  void objectType(const std::string& nodeName, const std::vector<uint32_t>& oid, const std::string& description,
                  uint32_t syntax, uint32_t access, uint32_t status, uint32_t module) {
    uint32_t nameLength = static_cast<uint32_t>(nodeName.size() + 1);
    uint32_t oidBytes = static_cast<uint32_t>(4 * oid.size());
    uint32_t descriptionOffset = description.empty() ? 0 : 80 + nameLength + oidBytes;
    uint32_t descriptionLength = description.empty() ? 0 : static_cast<uint32_t>(description.size() + 1);
    add(4, le32(80) + le32(nameLength) + le32(80 + nameLength) + le32(oidBytes) +
               le32(static_cast<uint32_t>(oid.size())) + le32(descriptionOffset) + le32(descriptionLength) +
               le32(syntax) + le32(0) + le32(access) + le32(0) + le32(status) + le32(0) + le32(module) +
               le32(0xFFFFFFFF) + le32(0xFFFFFFFF) + text(nodeName) + oidArray(oid) +
               (description.empty() ? Bytes() : text(description)));
  }
  Bytes finish() { return bytes_ + recordHeader(2, 0); }

 private:
  void add(uint8_t kind, const Bytes& body) {
    uint64_t next = bytes_.size() + 16 + body.size();
    bytes_ += recordHeader(kind, next) + body;
  }
  Bytes bytes_;
};

Bytes fileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

using Saving = CompilerTest;

constexpr const char* kTiny =
    "TINY DEFINITIONS ::= BEGIN\n"
    "tiny OBJECT IDENTIFIER ::= { iso 5 }\n"
    "tinyCount OBJECT-TYPE SYNTAX Counter ACCESS read-only STATUS mandatory ::= { tiny 2 }\n"
    "tinyState OBJECT-TYPE SYNTAX INTEGER { on(1), off(2) } ACCESS read-write STATUS mandatory\n"
    "    DESCRIPTION \"State.\" ::= { tiny 1 }\n"
    "END\n";

TEST_F(Saving, WritesASmallModuleByteForByte) {
  ASSERT_TRUE(compile(kTiny));
  const std::time_t created = 1767225600;  // 2026-01-01 00:00:00 UTC
  std::string path = folder + "/TINY.smidb";
  ASSERT_EQ(saveModule(*compiler, "TINY", path, created), SaveOutcome::saved);

  std::string description = std::string("SMI module database created with Orvane MIB Compiler Verison Preview Release 2.") +
                            " Module 'TINY'. Version 2. Created " + std::asctime(std::localtime(&created)) + ".";
  ExpectedFile expected;
  expected.moduleHeader(description, "TINY");
  expected.name(0, "TINY");
  expected.name(1, "on");
  expected.name(2, "off");
  expected.node("iso", {1}, 0);
  expected.node("tiny", {1, 5}, 0);
  expected.objectType("tinyState", {1, 5, 1}, "State.", 2, 2, 1, 0);
  expected.objectType("tinyCount", {1, 5, 2}, "", 65, 1, 1, 0);
  EXPECT_EQ(fileBytes(path), expected.finish());
  EXPECT_EQ(compiler->modules().find("TINY")->databasePath, path);
}

TEST_F(Saving, RefusesAModuleWithoutNodesAndWritesNoFile) {
  ASSERT_TRUE(compile("TYPES DEFINITIONS ::= BEGIN\nT ::= INTEGER\nEND\n"));
  std::string path = folder + "/TYPES.smidb";
  EXPECT_EQ(saveModule(*compiler, "TYPES", path, 0), SaveOutcome::nothingToSave);
  EXPECT_TRUE(logged("Compiled MIB file doesn't contain any OIDs. Nothing to save."));
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(Saving, ReportsAFileThatCannotBeWritten) {
  ASSERT_TRUE(compile(kTiny));
  std::string path = folder + "/no-such-folder/TINY.smidb";
  EXPECT_EQ(saveModule(*compiler, "TINY", path, 0), SaveOutcome::failed);
  EXPECT_TRUE(logged("File: " + path));
  EXPECT_TRUE(compiler->modules().find("TINY")->databasePath.empty());
}

}  // namespace
