#include "module_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace testing_modules {

std::string runtimePath(const std::string& name) {
  return std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/" + name;
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << path;
}

void registerBytes(const std::string& name, const Bytes& bytes, const std::string& rootOid) {
  std::string path = runtimePath(name + ".smidb");
  writeFile(path, bytes);
  LONG error = 0;
  smidb::RegistrationOutcome outcome =
      smidb::registerModule({name, rootOid, path, "/sources/" + name + ".mib"}, error);
  ASSERT_NE(outcome, smidb::RegistrationOutcome::failed) << name << " " << error;
}

Bytes moduleWithNodes(const std::string& name, const std::vector<NodeEntry>& nodes) {
  smidb::Writer writer(name, smidb::makeDescription(name, 0));
  uint32_t own = writer.addName(name);
  for (const NodeEntry& node : nodes) writer.addNode(node.name, node.oid, own);
  return writer.bytes();
}

std::vector<size_t> recordOffsets(const Bytes& file) {
  std::vector<size_t> offsets;
  for (uint64_t offset = 0; offsets.size() < file.size();) {
    offsets.push_back(offset);
    offset = smidb::load64(file.data() + offset + smidb::record_header::kNext);
    if (offset == 0) break;
  }
  return offsets;
}

}  // namespace testing_modules
