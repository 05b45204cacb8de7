// The recursive-descent SMI parser for one source file. It checks the
// clauses it needs, reports a missing one and goes on, skips the clauses
// it does not use, and hands each definition to the tree and each type to
// the type table. Every loop consumes at least one token per round or
// stops at end of file, so any input ends.
#pragma once

#include "modforge/compiler.h"
#include "modforge/definition.h"
#include "modforge/lexer.h"

#include <string>

namespace modforge {

class Parser {
 public:
  Parser(Compiler& compiler, SourceReader& reader, std::string path, int depth);

  // Parses the whole source. False when no module header comes before the
  // end of the file, an import failed, or the lexer gave up.
  [[nodiscard]] bool compile();

  int linesRead() const;
  int syntaxErrors() const { return lexer_.syntaxErrors(); }
  int warnings() const { return warnings_; }

 private:
  enum class Header { parsed, missing, importFailed };

  // Tokens.
  int code() const { return lexer_.code(); }
  const Token& token() const { return lexer_.current(); }
  void advance() { lexer_.next(); }
  bool accept(int tokenCode);
  bool expect(int tokenCode, int errorIndex);
  void skipUntil(int tokenCode);
  void skipPast(int tokenCode);
  void skipBalanced(int open, int close);
  std::string takeString();
  void warn(int level, const std::string& text);

  // Module structure.
  Header parseHeader();
  bool parseImports();
  Header parseBody();
  void skipMacro();

  // Definitions.
  void parseDefinition(const std::string& name);
  void parseTypeAssignment(const std::string& name);
  void parseObjectIdentifier(const std::string& name);
  void parseObjectType(const std::string& name);
  void parseObjectGroup(const std::string& name);
  void parseNotificationType(const std::string& name);
  void parseNotificationGroup(const std::string& name);
  void parseObjectIdentity(const std::string& name);
  void parseModuleIdentity(const std::string& name);
  void parseModuleCompliance(const std::string& name);
  void parseComplianceModule(Definition& definition);
  void parseAgentCapabilities(const std::string& name);
  void parseTrapType();
  void parseNameList(std::vector<std::string>& names);
  void parseEndOrReference(Definition& definition);
  void parseStatus(Definition& definition);
  void keepTextsUntilAssign(Definition& definition, bool keepStatus);

  // Syntax clauses.
  Syntax parseSyntax();
  void parseEnumeration(Syntax& syntax);
  void parseRanges(RangeList& ranges);
  bool parseRangeValue(int64_t& value);
  void parseSizeOrRanges(Syntax& syntax);

  // OID values and tree placement.
  void parseOidValue(const std::string& name, Definition definition);
  Node* attach(const std::string& name, Node* parent, uint32_t subidentifier, Definition definition);
  Node* parentByName(const std::string& parentName, const std::string& name);
  Node* parentByNumbers(const std::vector<uint32_t>& numbers, const std::string& name);

  Compiler& compiler_;
  std::string path_;
  int depth_;
  Lexer lexer_;
  SourceReader& reader_;
  std::string module_;
  int warnings_ = 0;
};

}  // namespace modforge
