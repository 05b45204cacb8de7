#include "modforge/module_saver.h"

#include "modforge/module_image.h"
#include "smidb_writer.h"

#include <filesystem>

namespace modforge {
namespace {

smidb::Writer writerFor(const ModuleImage& image, std::time_t created) {
  smidb::Writer writer(image.module, smidb::makeDescription(image.module, created));
  for (const std::string& name : image.names) writer.addName(name);
  for (const ImageRecord& record : image.records) {
    const Node& node = *record.node;
    if (!record.objectType) {
      writer.addNode(node.name, node.oid, record.moduleIndex);
      continue;
    }
    smidb::ObjectTypeCodes codes;
    codes.syntax = record.syntaxCode;
    codes.access = record.accessCode;
    codes.status = record.statusCode;
    const std::string& description = node.definition.description;
    writer.addObjectType(node.name, node.oid, record.moduleIndex, codes,
                         description.empty() ? std::nullopt : std::optional<std::string_view>(description));
  }
  return writer;
}

}  // namespace

SaveOutcome saveModule(Compiler& compiler, const std::string& module, const std::string& path, std::time_t created) {
  std::optional<ModuleImage> image = buildModuleImage(compiler, module);
  if (!image) {
    compiler.log().message("Compiled MIB file doesn't contain any OIDs. Nothing to save.");
    return SaveOutcome::nothingToSave;
  }
  std::string reason;
  if (!writerFor(*image, created).save(path, reason)) {
    compiler.log().message("File: " + path);
    compiler.log().message(reason);
    return SaveOutcome::failed;
  }
  std::error_code ignored;
  compiler.modules().entry(module).databasePath = std::filesystem::absolute(path, ignored).lexically_normal().string();
  return SaveOutcome::saved;
}

}  // namespace modforge
