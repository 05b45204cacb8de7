#include "loaded_module.h"

#include "wsm.h"

namespace modbase {

uint32_t openModule(const std::string& identity, std::unique_ptr<LoadedModule>& module) {
  auto opened = std::make_unique<LoadedModule>();
  if (!findRegisteredModule(identity, opened->entry)) return WSM_ERROR_NOT_REGISTERED;
  switch (opened->file.open(opened->entry.databasePath.c_str())) {
    case platform::MappedFile::Status::mapped: break;
    case platform::MappedFile::Status::notFound: return WSM_ERROR_NOT_REGISTERED;
    default: return WSM_ERROR_BAD_DATABASE;
  }
  ReadFailure failure;
  if (!readModuleFile(opened->file.data(), opened->file.size(), opened->contents, failure)) {
    return WSM_ERROR_BAD_DATABASE;
  }
  bool rfc1155Smi = opened->entry.identity == "RFC1155-SMI";
  for (Definition& definition : opened->contents.definitions) {
    definition.module = opened.get();
    definition.fromRfc1155Smi = rfc1155Smi;
  }
  module = std::move(opened);
  return 0;
}

}  // namespace modbase
