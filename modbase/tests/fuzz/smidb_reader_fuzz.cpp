// Fuzzes the SMIDB reader: whatever it accepts must be safe to use, so every
// text, OID and name-table entry it hands out is read in full, and the
// definitions go into a tree and out again.
#include "mib_tree.h"
#include "smidb_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

size_t lengthOf(const char* text) { return text ? std::strlen(text) : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modbase::ModuleContents contents;
  modbase::ReadFailure failure;
  if (!modbase::readModuleFile(data, size, contents, failure)) return 0;
  size_t touched = lengthOf(contents.description) + lengthOf(contents.moduleName);
  for (const char* name : contents.nameTable) touched += lengthOf(name);
  modbase::MibTree tree;
  for (modbase::Definition& definition : contents.definitions) {
    touched += lengthOf(definition.name) + lengthOf(definition.description) +
               lengthOf(definition.definingModule);
    for (uint32_t index = 0; index < definition.oid.size(); ++index) touched += definition.oid[index];
    if (definition.belongsInTree()) (void)tree.insert(definition);
  }
  for (modbase::Definition& definition : contents.definitions) tree.remove(definition);
  return touched == SIZE_MAX ? 1 : 0;
}
