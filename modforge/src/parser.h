// The recursive-descent SMI parser for one source file. It checks the
// clauses it needs, reports a missing one and goes on, skips the clauses
// it does not use, and hands each definition to the tree and each type to
// the type table. Every loop consumes at least one token per round or
// stops at end of file, so any input ends.
#pragma once

#include "modforge/compiler.h"
#include "modforge/definition.h"
#include "modforge/lexer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace modforge {

// An OID value as written: what it starts from (a parent name, or leading
// numbers, or nothing for a top-level node), the nodes it passes on the
// way (name(number) elements and plain numbers before the last), and the
// definition's own number, the last plain number.
struct OidValue {
  struct Step {
    std::string label;  // empty for a plain number
    uint32_t number = 0;
  };
  std::string parentName;
  std::vector<uint32_t> parentNumbers;
  std::vector<Step> steps;
  std::optional<uint32_t> own;
  int line = 0;
};

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
  void parseTag(int& applicationTag);
  Syntax parseUntaggedSyntax();
  void parseEnumeration(Syntax& syntax);
  void parseRanges(RangeList& ranges);
  bool parseRangeValue(int64_t& value);
  void parseSizeOrRanges(Syntax& syntax);

  // OID values.
  void parseOidValue(const std::string& name, Definition&& definition);
  bool parseLeadingNumbers(const std::string& name, OidValue& value, bool& closed);
  bool parseOidElements(OidValue& value);
  bool convertsToOid(const std::vector<uint32_t>& numbers);

  // Tree placement (tree_placement.cpp): each definition goes under its
  // parent, or waits for it until the end of the module.
  struct Waiting {
    std::string name;
    Definition definition;
    OidValue value;
    bool placed = false;
  };
  void beginModule(const std::string& module);
  void noteImport(const std::string& symbol, const std::string& module);
  void place(const std::string& name, Definition&& definition, OidValue&& value);
  void placeUnder(Node* parent, const std::string& name, Definition&& definition, const OidValue& value);
  Node* parentOf(const std::string& parentName);
  Node* parentByNumbers(const OidValue& value, const std::string& name);
  Node* attach(const std::string& name, Node* parent, uint32_t subidentifier, Definition&& definition, int line);
  Node* nodeOnTheWay(Node* parent, const OidValue::Step& step, int line);
  void nameBecameKnown(const std::string& name);
  void placeWaitingFor(const std::string& name);
  void endModule();
  bool waitsForAnotherDefinition(const Waiting& waiting) const;
  void placeWithParentFromElsewhere();


  Compiler& compiler_;
  std::string path_;
  int depth_;
  Lexer lexer_;
  SourceReader& reader_;
  std::string module_;
  int warnings_ = 0;

  // The symbols of this module's IMPORTS and the modules they come from.
  std::unordered_map<std::string, std::string> imports_;
  // Definitions whose parent name is not known yet, in source order, and
  // for each parent name the indexes of those that wait for it.
  std::vector<Waiting> waiting_;
  std::unordered_map<std::string, std::vector<size_t>> waitingFor_;
  // Names that waiting definitions will give (their own and their steps'),
  // with how many give each.
  std::unordered_map<std::string, int> namesToCome_;
  std::vector<std::string> namesKnownNow_;
  bool placingWaiting_ = false;
  // Whether this module's first node has set its root OID.
  bool rootOidNoted_ = false;
};

}  // namespace modforge
