// Module headers, imports, the definition loop and the node-making
// constructs of the SMI parser. Syntax clauses are in syntax_parser.cpp,
// OID values and tree placement in oid_value.cpp.
#include "parser.h"

#include "modforge/messages.h"

namespace modforge {
namespace {

bool isWord(int tokenCode) { return tokenCode == kIdentifier || tokenCode >= kObsolete; }

}  // namespace

Parser::Parser(Compiler& compiler, SourceReader& reader, std::string path, int depth)
    : compiler_(compiler),
      path_(std::move(path)),
      depth_(depth),
      lexer_(reader, compiler.log(), compiler.settings.listing),
      reader_(reader) {}

int Parser::linesRead() const { return reader_.lineNumber(); }

bool Parser::accept(int tokenCode) {
  if (code() != tokenCode) return false;
  advance();
  return true;
}

bool Parser::expect(int tokenCode, int errorIndex) {
  if (accept(tokenCode)) return true;
  lexer_.reportError(errorIndex);
  return false;
}

void Parser::skipUntil(int tokenCode) {
  while (code() != tokenCode && code() != kEndOfFile) advance();
}

void Parser::skipPast(int tokenCode) {
  skipUntil(tokenCode);
  accept(tokenCode);
}

// Skips from an opening token to its matching closing token, counting
// nesting in a plain counter so that any depth costs no stack.
void Parser::skipBalanced(int open, int close) {
  long depth = 0;
  do {
    if (code() == open) ++depth;
    else if (code() == close) --depth;
    advance();
  } while (depth > 0 && code() != kEndOfFile);
}

std::string Parser::takeString() {
  if (code() != kString) return {};
  std::string text = token().text;
  advance();
  return text;
}

void Parser::warn(int level, const std::string& text) {
  if (compiler_.settings.warningLevel < level) return;
  compiler_.log().message(text);
  ++warnings_;
}

bool Parser::compile() {
  advance();
  Header header = parseHeader();
  if (header == Header::missing && !lexer_.gaveUp()) lexer_.reportError(kNotAValidFile);
  if (header == Header::parsed) header = parseBody();
  return header == Header::parsed && !lexer_.gaveUp();
}

Parser::Header Parser::parseHeader() {
  std::string previous;
  bool previousIsWord = false;
  while (code() != kDefinitions) {
    if (code() == kEndOfFile) return Header::missing;
    previous = token().text;
    previousIsWord = isWord(code());
    advance();
  }
  // A module is named by a word; anything else is no module header.
  if (!previousIsWord) return Header::missing;
  beginModule(previous);
  advance();
  expect(kAssign, kMissingAssign);
  expect(kBegin, kMissingBegin);
  compiler_.noteCompiled(module_, path_);
  if (accept(kImports) && !parseImports()) {
    compiler_.noteFailed(module_);
    return Header::importFailed;
  }
  // The exported names are no definitions.
  if (accept(kExports)) skipPast(kSemicolon);
  return Header::parsed;
}

// Groups of symbols, each ended by FROM and a module name, up to ";".
bool Parser::parseImports() {
  while (code() != kSemicolon && code() != kEndOfFile) {
    std::vector<std::string> symbols;
    while (code() != kFrom && code() != kSemicolon && code() != kEndOfFile) {
      if (code() == kIdentifier) symbols.push_back(token().text);
      advance();
    }
    if (!accept(kFrom) || code() == kEndOfFile) break;
    if (!isWord(code())) continue;
    std::string module = token().text;
    advance();
    for (const std::string& symbol : symbols) noteImport(symbol, module);
    bool namesIdentifiers = !symbols.empty();
    if (namesIdentifiers && depth_ + 1 >= Compiler::kDeepestImport) {
      lexer_.reportError(kImportsTooDeep);
      return false;
    }
    if (!compiler_.importModule(module, namesIdentifiers, depth_)) return false;
  }
  accept(kSemicolon);
  return true;
}

Parser::Header Parser::parseBody() {
  for (;;) {
    switch (code()) {
      case kEndOfFile:
        lexer_.reportError(kUnexpectedEndOfFile);
        endModule();
        return Header::parsed;
      case kEnd: {
        endModule();
        advance();
        if (code() == kEndOfFile) return Header::parsed;
        // A second module in the same file.
        Header header = parseHeader();
        if (header != Header::parsed) return header == Header::importFailed ? header : Header::parsed;
        break;
      }
      case kBegin:
        lexer_.reportError(kNestedMibs);
        advance();
        break;
      case kSmi:
        advance();
        break;
      default: {
        // Only a word can name a definition.
        bool named = isWord(code());
        std::string name = token().text;
        advance();
        if (named) parseDefinition(name);
        break;
      }
    }
  }
}

void Parser::parseDefinition(const std::string& name) {
  switch (code()) {
    case kAssign:
      advance();
      return parseTypeAssignment(name);
    case kObject:
      advance();
      return parseObjectIdentifier(name);
    case kObjectType:
      advance();
      return parseObjectType(name);
    case kObjectGroup:
      advance();
      return parseObjectGroup(name);
    case kNotificationType:
      advance();
      return parseNotificationType(name);
    case kNotificationGroup:
      advance();
      return parseNotificationGroup(name);
    case kObjectIdentity:
      advance();
      return parseObjectIdentity(name);
    case kModuleIdentity:
      advance();
      return parseModuleIdentity(name);
    case kModuleCompliance:
      advance();
      return parseModuleCompliance(name);
    case kAgentCapabilities:
      advance();
      return parseAgentCapabilities(name);
    case kTrapType:
      return parseTrapType();
    case kIdentifier:
      if (token().text == "MACRO") return skipMacro();
      return;
    default:
      // No construct: this token is looked at again as a name.
      return;
  }
}

// The macro definitions of the SMI modules describe notation, not MIB
// objects; their bodies run from BEGIN to the first END.
void Parser::skipMacro() { skipPast(kEnd); }

void Parser::parseTypeAssignment(const std::string& name) {
  if (accept(kTextualConvention)) {
    skipUntil(kSyntax);
    if (!accept(kSyntax)) return;
  }
  Syntax syntax = parseSyntax();
  if (syntax.baseToken == 0) return;
  if (compiler_.types().define(name, syntax)) {
    warn(2, "WARNING! Redefintion of type " + name + ". Using from " + module_);
  }
}

// "STATUS" and its value (error "Missing STATUS" without it).
void Parser::parseStatus(Definition& definition) {
  if (!accept(kStatus)) return lexer_.reportError(kMissingStatus);
  if (code() == kAssign || code() == kEndOfFile) return;
  definition.status = code();
  advance();
}

void Parser::parseObjectIdentifier(const std::string& name) {
  if (!accept(kIdentifierWord)) {
    lexer_.reportError(kMissingToken);
    return skipPast(kCloseBrace);
  }
  expect(kAssign, kMissingAssign);
  Definition definition;
  definition.kind = NodeKind::objectIdentifier;
  parseOidValue(name, std::move(definition));
}

void Parser::parseObjectType(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::objectType;
  if (accept(kSyntax)) definition.syntax = parseSyntax();
  else lexer_.reportError(kMissingSyntax);
  if (accept(kUnits)) definition.units = takeString();
  if (accept(kAccess) || accept(kMaxAccess)) {
    if (code() != kAssign && code() != kEndOfFile) {
      definition.access = code();
      advance();
    }
  } else {
    lexer_.reportError(kMissingAccess);
  }
  parseStatus(definition);
  keepTextsUntilAssign(definition, false);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

// Up to "::=", keeps REFERENCE and DESCRIPTION (and STATUS when asked)
// and skips everything else.
void Parser::keepTextsUntilAssign(Definition& definition, bool keepStatus) {
  while (code() != kAssign && code() != kEndOfFile) {
    if (accept(kReference)) {
      definition.reference = takeString();
    } else if (accept(kDescription)) {
      definition.description = takeString();
    } else if (keepStatus && accept(kStatus)) {
      if (code() == kAssign) break;
      definition.status = code();
      advance();
    } else {
      advance();
    }
  }
}

// Names separated by "," up to "}", after the "{".
void Parser::parseNameList(std::vector<std::string>& names) {
  while (code() != kCloseBrace && code() != kEndOfFile) {
    if (code() == kIdentifier || code() >= kObsolete) names.push_back(token().text);
    advance();
  }
  accept(kCloseBrace);
}

void Parser::parseObjectGroup(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::objectGroup;
  expect(kObjects, kMissingObjects);
  if (expect(kOpenBrace, kMissingBrace)) parseNameList(definition.members);
  keepTextsUntilAssign(definition, true);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

void Parser::parseNotificationType(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::notificationType;
  if (accept(kObjects) && expect(kOpenBrace, kMissingBrace)) parseNameList(definition.members);
  parseStatus(definition);
  if (accept(kDescription)) definition.description = takeString();
  else lexer_.reportError(kMissingDescription);
  if (accept(kReference)) definition.reference = takeString();
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

// After the DESCRIPTION of groups and identities: "::=" or a REFERENCE.
void Parser::parseEndOrReference(Definition& definition) {
  if (code() == kAssign) return;
  if (accept(kReference)) definition.reference = takeString();
  else lexer_.reportError(kMissingReference);
}

void Parser::parseNotificationGroup(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::notificationGroup;
  expect(kNotifications, kMissingNotifications);
  if (expect(kOpenBrace, kMissingBrace)) parseNameList(definition.members);
  parseStatus(definition);
  if (accept(kDescription)) definition.description = takeString();
  else lexer_.reportError(kMissingDescription);
  parseEndOrReference(definition);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

void Parser::parseObjectIdentity(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::objectIdentity;
  parseStatus(definition);
  if (accept(kDescription)) definition.description = takeString();
  else lexer_.reportError(kMissingDescription);
  parseEndOrReference(definition);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

void Parser::parseModuleIdentity(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::moduleIdentity;
  if (expect(kLastUpdated, kMissingLastUpdated)) definition.lastUpdated = takeString();
  if (expect(kOrganization, kMissingOrganization)) definition.organization = takeString();
  if (expect(kContactInfo, kMissingContactInfo)) definition.contactInfo = takeString();
  if (expect(kDescription, kMissingDescription)) definition.description = takeString();
  skipUntil(kAssign);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

void Parser::parseModuleCompliance(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::moduleCompliance;
  parseStatus(definition);
  if (accept(kDescription)) definition.description = takeString();
  else lexer_.reportError(kMissingDescription);
  while (code() != kAssign && code() != kEndOfFile) {
    if (accept(kModule)) {
      definition.compliance.emplace_back();
      if (code() == kIdentifier) {
        definition.compliance.back().module = token().text;
        advance();
      }
    } else if (accept(kReference)) {
      definition.reference = takeString();
    } else if (code() == kMandatoryGroups || code() == kGroup || code() == kObject) {
      if (definition.compliance.empty()) definition.compliance.emplace_back();
      parseComplianceModule(definition);
    } else {
      advance();
    }
  }
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

// One MANDATORY-GROUPS, GROUP or OBJECT clause of the current section.
void Parser::parseComplianceModule(Definition& definition) {
  ComplianceModule& section = definition.compliance.back();
  if (accept(kMandatoryGroups)) {
    if (expect(kOpenBrace, kMissingBrace)) parseNameList(section.mandatoryGroups);
    return;
  }
  ComplianceModule::Entry entry;
  entry.isGroup = code() == kGroup;
  advance();
  entry.name = token().text;
  if (code() != kEndOfFile) advance();
  for (;;) {
    if (!entry.isGroup && accept(kSyntax)) entry.syntax = parseSyntax().text;
    else if (!entry.isGroup && accept(kWriteSyntax)) entry.writeSyntax = parseSyntax().text;
    else if (!entry.isGroup && accept(kMinAccess)) {
      entry.minAccess = token().text;
      if (code() != kAssign && code() != kEndOfFile) advance();
    } else {
      break;
    }
  }
  if (accept(kDescription)) entry.description = takeString();
  else lexer_.reportError(kMissingDescription);
  section.entries.push_back(std::move(entry));
}

void Parser::parseAgentCapabilities(const std::string& name) {
  Definition definition;
  definition.kind = NodeKind::agentCapabilities;
  if (expect(kProductRelease, kMissingProductRelease)) definition.productRelease = takeString();
  parseStatus(definition);
  if (accept(kDescription)) definition.description = takeString();
  else lexer_.reportError(kMissingDescription);
  keepTextsUntilAssign(definition, false);
  expect(kAssign, kMissingAssign);
  parseOidValue(name, std::move(definition));
}

// A trap makes no node: everything up to "::=" and the token after it.
void Parser::parseTrapType() {
  skipPast(kAssign);
  if (code() != kEndOfFile) advance();
}

}  // namespace modforge
