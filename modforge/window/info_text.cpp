#include "info_text.h"

#include "modforge/token.h"

namespace modforge {
namespace {

constexpr const char* kMissing = "None Avaible";

std::string orMissing(const std::string& text) { return text.empty() ? kMissing : text; }

std::string keywordText(int code) {
  const char* text = code ? tokenCodeText(code) : nullptr;
  return text ? text : kMissing;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// A syntax with its enumeration or, failing that, its ranges.
std::string syntaxText(const Syntax& syntax) {
  std::string text = orMissing(syntax.text);
  if (!syntax.enumeration.empty()) {
    text += "  {";
    for (size_t i = 0; i < syntax.enumeration.size(); ++i) {
      const auto& [label, value] = syntax.enumeration[i];
      text += (i ? ", " : "") + std::string("\r\n\t") + label + "(" + std::to_string(value) + ")";
    }
    return text + "  }";
  }
  if (!syntax.ranges.empty()) {
    text += " (";
    for (size_t i = 0; i < syntax.ranges.size(); ++i) {
      const auto& [minimum, maximum] = syntax.ranges[i];
      text += (i ? " | " : "") + std::to_string(minimum) + " .. " + std::to_string(maximum);
    }
    text += ")";
  }
  return text;
}

// The syntax a named type stands for, as the type table resolved it.
std::string baseSyntaxText(const Syntax& syntax, const TypeTable& types) {
  const TypeEntry* type = syntax.baseToken == kIdentifier ? types.find(syntax.text) : nullptr;
  return syntaxText(type ? type->syntax : syntax);
}

class InfoText {
 public:
  explicit InfoText(const Node& node) : node_(node), definition_(node.definition) {
    text_ = "MODULE: " + node.module + "\r\n\r\n\r\n";
  }

  InfoText& heading(const char* kind) {
    text_ += kind;
    text_ += "\r\n\r\nNAME: " + node_.name;
    return *this;
  }
  InfoText& clause(const char* label, const std::string& value) {
    text_ += label + orMissing(value);
    return *this;
  }
  InfoText& braced(const char* label, const std::vector<std::string>& names) {
    text_ += label + (names.empty() ? std::string(kMissing) : " " + joined(names) + " ") + "}";
    return *this;
  }
  InfoText& status() { return clause("\r\nSTATUS: ", keywordText(definition_.status)); }
  InfoText& description(const char* label = "\r\nDESCRIPTION: ") { return clause(label, definition_.description); }
  InfoText& reference(const char* label = "\r\nREFERENCE: ") { return clause(label, definition_.reference); }
  std::string withOid() { return text_ + "\r\nOID: " + oidText(node_.oid); }

  void compliance() {
    for (const ComplianceModule& module : definition_.compliance) {
      clause("\r\nMODULE: ", module.module.empty() ? node_.module : module.module);
      if (!module.mandatoryGroups.empty()) text_ += "\r\n\tMANDATORY-GROUPS { " + joined(module.mandatoryGroups) + " }";
      for (const ComplianceModule::Entry& entry : module.entries) {
        clause(entry.isGroup ? "\r\n\tGROUP: " : "\r\n\tOBJECT: ", entry.name);
        if (!entry.minAccess.empty()) clause("\r\n\tMIN-ACCESS: ", entry.minAccess);
        if (!entry.syntax.empty()) clause("\r\n\tSYNTAX: ", entry.syntax);
        if (!entry.writeSyntax.empty()) clause("\r\n\tWRITE-SYNTAX: ", entry.writeSyntax);
        clause("\r\n\tDESCRIPTION: ", entry.description);
      }
    }
  }

 private:
  const Node& node_;
  const Definition& definition_;
  std::string text_;
};

}  // namespace

std::string nodeInfoText(const Node& node, const TypeTable& types) {
  const Definition& definition = node.definition;
  InfoText info(node);
  switch (definition.kind) {
    case NodeKind::objectType:
      return info.heading("OBJECT-TYPE")
          .clause("\r\nSYNTAX: ", syntaxText(definition.syntax))
          .clause("\r\nBASE SYNTAX: ", baseSyntaxText(definition.syntax, types))
          .clause("\r\nUNITS: ", definition.units)
          .clause("\r\nMAX-ACCESS: ", keywordText(definition.access))
          .status()
          .description()
          .reference()
          .withOid();
    case NodeKind::objectGroup:
      return info.heading("OBJECT-GROUP")
          .clause("\r\nOBJECTS: ", joined(definition.members))
          .status()
          .description()
          .reference()
          .withOid();
    case NodeKind::moduleCompliance:
      info.heading("MODULE-COMPLIANCE").status().description().reference().compliance();
      return info.withOid();
    case NodeKind::moduleIdentity:
      return info.heading("MODULE-IDENTITY")
          .clause("\r\nLAST-UPDATED: ", definition.lastUpdated)
          .clause("\r\nORGANIZATION: ", definition.organization)
          .clause("\r\nCONTACT-INFO: ", definition.contactInfo)
          .description("\r\nDESRIPTION: ")
          .withOid();
    case NodeKind::notificationType:
      return info.heading("NOTIFICATION-TYPE")
          .braced("\r\nOBJECTS: {", definition.members)
          .status()
          .description()
          .reference()
          .withOid();
    case NodeKind::objectIdentity:
      return info.heading("OBJECT-IDENTITY").status().description().reference().withOid();
    case NodeKind::notificationGroup:
      return info.heading("NOTIFICATION-GROUP")
          .braced("\r\nNOTIFICATIONSS: {", definition.members)
          .status()
          .description()
          .reference()
          .withOid();
    case NodeKind::agentCapabilities:
      return info.heading("AGENT-CAPABILITIES")
          .clause("\r\nPRODUCT-RELEASE: ", definition.productRelease)
          .status()
          .description()
          .reference("\r\nREFERNECE: ")
          .withOid();
    case NodeKind::objectIdentifier:
      break;
  }
  return info.heading("OBJECT IDENTIFIER").withOid();
}

}  // namespace modforge
