// Module files and registrations for the tests: SMIDB files made with the
// writer in the test's runtime folder, registered in the test registry.
#pragma once

#include "smidb_registration.h"
#include "smidb_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_modules {

using Bytes = std::vector<unsigned char>;
using Oid = std::vector<uint32_t>;

// A path in the test's runtime folder.
std::string runtimePath(const std::string& name);
void writeFile(const std::string& path, const Bytes& bytes);

// Writes `bytes` as <name>.smidb and registers it under `name`.
void registerBytes(const std::string& name, const Bytes& bytes, const std::string& rootOid = "1.3.6.1");

// A module file with the given nodes, each defined by the module itself.
struct NodeEntry {
  std::string name;
  Oid oid;
};
Bytes moduleWithNodes(const std::string& name, const std::vector<NodeEntry>& nodes);

// The record offsets of a file, in chain order.
std::vector<size_t> recordOffsets(const Bytes& file);

}  // namespace testing_modules
