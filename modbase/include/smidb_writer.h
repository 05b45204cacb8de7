// Writing SMIDB files (layout in smidb_format.h). The compiler builds one
// Writer per module to save:
//
//   smidb::Writer writer(moduleName, smidb::makeDescription(moduleName, std::time(nullptr)));
//   writer.addName(moduleName);                      // name-table entry 0
//   uint32_t smi = writer.addName("RFC1155-SMI");     // ... in order of first appearance
//   writer.addNode("internet", {1, 3, 6, 1}, smi);    // ancestors first, root down,
//   writer.addObjectType("sysDescr", oid, own, codes, description);  // then the module's nodes
//   std::string error;
//   if (!writer.save(path, error)) report("File: " + path);
//
// Records are assembled in memory with a running 64-bit size (each record's
// `next` is the offset where the following one starts) and written in the
// order header, names (in index order), nodes (in the order added), end.
// save() replaces the file atomically: a program that has the old file
// mapped keeps reading it intact, and a failed save leaves the old file.
#ifndef MODBASE_SMIDB_WRITER_H
#define MODBASE_SMIDB_WRITER_H

#include "smidb_format.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace smidb {

// The codes an object-type record carries beside its name and OID.
struct ObjectTypeCodes {
  uint32_t syntax = kSyntaxOfUnresolvedIdentifier;
  uint32_t access = 0;  // AccessCode, 0 when missing
  uint32_t status = 0;  // StatusCode, 0 when missing
  uint32_t baseSyntaxNameIndex = kNoNameIndex;
  uint32_t composedSyntaxNameIndex = kNoNameIndex;
};

class Writer {
 public:
  // An empty `description` writes none.
  Writer(std::string_view moduleName, std::string_view description);

  // The name-table index of `name`, adding it at the end when it is new.
  uint32_t addName(std::string_view name);
  size_t nameCount() const { return names_.size(); }

  // A node record (anything but an OBJECT-TYPE); `moduleIndex` is the
  // name-table index of the defining module. An empty `name` writes a
  // record without one, for an OID that no definition names: the library
  // reads it but leaves it out of its tree.
  void addNode(std::string_view name, std::span<const uint32_t> oid, uint32_t moduleIndex,
               std::optional<std::string_view> description = std::nullopt);
  void addObjectType(std::string_view name, std::span<const uint32_t> oid, uint32_t moduleIndex,
                     const ObjectTypeCodes& codes,
                     std::optional<std::string_view> description = std::nullopt);

  // The complete file.
  [[nodiscard]] std::vector<unsigned char> bytes() const;
  // Writes the complete file to `path`; false with a reason in `error`.
  [[nodiscard]] bool save(const std::string& path, std::string& error) const;

 private:
  std::string moduleName_;
  std::string description_;
  std::vector<std::string> names_;
  std::vector<std::vector<unsigned char>> definitionRecords_;
};

// "<banner> Module '<name>'. Version 2. Created <asctime of created>."
std::string makeDescription(std::string_view moduleName, std::time_t created);

}  // namespace smidb

#endif
