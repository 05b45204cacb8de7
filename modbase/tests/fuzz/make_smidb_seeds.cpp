// Writes the reader fuzzer's seed files, all made by the SMIDB writer, into
// the folder given on the command line.
#include "smidb_writer.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Oid = std::vector<uint32_t>;

void save(const std::string& folder, const char* name, const smidb::Writer& writer) {
  std::vector<unsigned char> bytes = writer.bytes();
  std::ofstream(folder + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

smidb::Writer systemGroup() {
  smidb::Writer writer("SEED-MIB", smidb::makeDescription("SEED-MIB", 0));
  uint32_t own = writer.addName("SEED-MIB");
  uint32_t smi = writer.addName("RFC1155-SMI");
  uint32_t display = writer.addName("DisplayString");
  writer.addNode("iso", Oid{1}, smi);
  writer.addNode("internet", Oid{1, 3, 6, 1}, smi);
  writer.addNode("system", Oid{1, 3, 6, 1, 2, 1, 1}, own);
  smidb::ObjectTypeCodes text{4, smidb::kReadOnly, smidb::kMandatory, smidb::kNoNameIndex, display};
  writer.addObjectType("sysDescr", Oid{1, 3, 6, 1, 2, 1, 1, 1}, own, text, "A description.");
  smidb::ObjectTypeCodes ticks{67, smidb::kReadOnly, smidb::kCurrent};
  writer.addObjectType("sysUpTime", Oid{1, 3, 6, 1, 2, 1, 1, 3}, own, ticks);
  writer.addNode("orphan", Oid{1, 3, 6, 1, 2, 1, 9, 9}, 40);
  return writer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_smidb_seeds FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  save(folder, "system-group.smidb", systemGroup());
  save(folder, "empty.smidb", smidb::Writer("EMPTY-MIB", ""));
  smidb::Writer names("NAMES-MIB", "names only");
  for (const char* name : {"NAMES-MIB", "a", "bb", "ccc"}) names.addName(name);
  save(folder, "names.smidb", names);
  return 0;
}
