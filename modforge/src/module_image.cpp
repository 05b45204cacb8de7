#include "modforge/module_image.h"

#include "modforge/token.h"
#include "smidb_format.h"

#include <algorithm>
#include <iterator>

namespace modforge {
namespace {

// The name table: distinct strings in order of first appearance.
class NameTable {
 public:
  explicit NameTable(std::vector<std::string>& names) : names_(names) {}
  uint32_t add(const std::string& name) {
    auto found = std::find(names_.begin(), names_.end(), name);
    if (found != names_.end()) return static_cast<uint32_t>(found - names_.begin());
    names_.push_back(name);
    return static_cast<uint32_t>(names_.size() - 1);
  }
  void addLabels(const EnumerationList& enumeration) {
    for (const auto& item : enumeration) add(item.first);
  }

 private:
  std::vector<std::string>& names_;
};

const Node* firstNodeOf(const MibTree& tree, const std::string& module) {
  for (const Node* node = tree.first(); node; node = node->next) {
    if (node->module == module) return node;
  }
  return nullptr;
}

ImageRecord recordOf(const Node* node, const TypeTable& types, NameTable& names) {
  ImageRecord record;
  record.node = node;
  record.objectType = node->definition.kind == NodeKind::objectType;
  record.moduleIndex = names.add(node->module);
  if (record.objectType) {
    record.syntaxCode = syntaxCode(types, node->definition.syntax);
    record.accessCode = accessCode(node->definition.access);
    record.statusCode = statusCode(node->definition.status);
  }
  return record;
}

// The code the file format gives the keyword of `token`, or `otherwise`.
template <size_t count>
uint32_t codeOf(int token, const smidb::KeywordCode (&table)[count], uint32_t otherwise) {
  const char* keyword = tokenCodeText(token);
  if (!keyword) return otherwise;
  for (const smidb::KeywordCode& entry : table) {
    if (entry.keyword == keyword) return entry.code;
  }
  return otherwise;
}

}  // namespace

uint32_t accessCode(int accessToken) { return codeOf(accessToken, smidb::kAccessKeywords, 0); }

uint32_t statusCode(int statusToken) { return codeOf(statusToken, smidb::kStatusKeywords, 0); }

uint32_t syntaxCode(int baseToken) {
  if (baseToken == kIdentifier) return smidb::kSyntaxOfUnresolvedIdentifier;
  return codeOf(baseToken, smidb::kSyntaxKeywords, smidb::kSyntaxOfOtherKeyword);
}

uint32_t syntaxCode(const TypeTable& types, const Syntax& syntax) {
  // The types of [APPLICATION 0] .. [APPLICATION 7], by the reserved word
  // that names each.
  constexpr int kApplicationTypes[] = {kIpAddress, kCounter, kGauge,     kTimeTicks,
                                       kOpaque,    kNsapAddress, kCounter64, kIntefer32};
  int tag = types.applicationTagOf(syntax);
  if (tag >= 0 && tag < static_cast<int>(std::size(kApplicationTypes))) return syntaxCode(kApplicationTypes[tag]);
  return syntaxCode(types.baseTokenOf(syntax));
}

std::optional<ModuleImage> buildModuleImage(const Compiler& compiler, const std::string& module) {
  const Node* first = firstNodeOf(compiler.tree(), module);
  if (!first) return std::nullopt;
  ModuleImage image;
  image.module = module;
  NameTable names(image.names);
  names.add(module);
  const TypeTable& types = compiler.types();

  std::vector<const Node*> ancestors;
  for (const Node* parent = first->parent; parent; parent = parent->parent) ancestors.push_back(parent);
  std::reverse(ancestors.begin(), ancestors.end());
  for (const Node* ancestor : ancestors) {
    names.add(ancestor->module);
    if (ancestor->definition.kind == NodeKind::objectType) names.addLabels(ancestor->definition.syntax.enumeration);
  }
  std::vector<const Node*> own;
  for (const Node* node = first; node; node = node->next) {
    if (node->module != module) continue;
    own.push_back(node);
    if (node->definition.kind != NodeKind::objectType) continue;
    names.addLabels(node->definition.syntax.enumeration);
    if (const TypeEntry* named = types.find(node->definition.syntax.text)) names.addLabels(named->syntax.enumeration);
  }
  for (const Node* ancestor : ancestors) image.records.push_back(recordOf(ancestor, types, names));
  for (const Node* node : own) image.records.push_back(recordOf(node, types, names));
  return image;
}

}  // namespace modforge
