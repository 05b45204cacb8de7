#include "modforge/module_image.h"

#include "modforge/token.h"

#include <algorithm>

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
    record.syntaxCode = syntaxCode(types.baseTokenOf(node->definition.syntax));
    record.accessCode = accessCode(node->definition.access);
    record.statusCode = statusCode(node->definition.status);
  }
  return record;
}

}  // namespace

uint32_t accessCode(int accessToken) {
  switch (accessToken) {
    case kReadOnly: return 1;
    case kReadWrite: return 2;
    case kWriteOnly: return 3;
    case kNotAccessible: return 4;
    case kReadCreate: return 5;
    default: return 0;
  }
}

uint32_t statusCode(int statusToken) {
  switch (statusToken) {
    case kMandatory: return 1;
    case kOptional: return 2;
    case kObsolete: return 3;
    case kDeprecated: return 4;
    case kCurrent: return 5;
    default: return 0;
  }
}

uint32_t syntaxCode(int baseToken) {
  switch (baseToken) {
    case kIdentifier: return 0;
    case kInteger:
    case kUIntefer32: return 2;
    case kBit: return 3;
    case kOctet:
    case kDisplayString: return 4;
    case kObject: return 6;
    case kSequence: return 48;
    case kIpAddress:
    case kNetworkAddress: return 64;
    case kCounter: return 65;
    case kGauge: return 66;
    case kTimeTicks: return 67;
    case kOpaque: return 68;
    case kNsapAddress: return 69;
    case kCounter64: return 70;
    case kIntefer32: return 71;
    default: return 5;
  }
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
