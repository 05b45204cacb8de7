// The OID value in braces that ends every node-making construct, and the
// placement of the node it names in the tree with its warnings.
#include "parser.h"

#include "modforge/messages.h"
#include "winsnmp.h"

#include <limits>

namespace modforge {
namespace {

bool isName(int code) { return code == kIdentifier || code >= kObsolete; }

bool fitsSubidentifier(int64_t value) {
  return value >= 0 && value <= std::numeric_limits<uint32_t>::max();
}

std::string dotted(const std::vector<uint32_t>& numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i) text.push_back('.');
    text += std::to_string(numbers[i]);
  }
  return text;
}

}  // namespace

void Parser::parseOidValue(const std::string& name, Definition definition) {
  if (!accept(kOpenBrace)) {
    lexer_.reportError(kMissingBrace);
    return skipPast(kCloseBrace);
  }
  Node* parent = nullptr;
  if (code() == kNumber) {
    std::vector<uint32_t> numbers;
    while (code() == kNumber) {
      if (!fitsSubidentifier(token().value)) {
        lexer_.reportError(kBadOid);
        return skipPast(kCloseBrace);
      }
      numbers.push_back(static_cast<uint32_t>(token().value));
      advance();
    }
    if (accept(kCloseBrace)) {
      // Only numbers: all but the last name the parent.
      uint32_t own = numbers.back();
      numbers.pop_back();
      parent = numbers.empty() ? nullptr : parentByNumbers(numbers, name);
      if (numbers.empty() || parent) attach(name, parent, own, std::move(definition));
      return;
    }
    parent = parentByNumbers(numbers, name);
  } else if (isName(code())) {
    std::string parentName = token().text;
    advance();
    if (code() == kOpenParen) skipBalanced(kOpenParen, kCloseParen);
    parent = parentByName(parentName, name);
  }
  if (!parent) return skipPast(kCloseBrace);

  // name(number) elements make nodes on the way; the last plain number is
  // the definition's own sub-identifier.
  int64_t own = -1;
  bool haveOwn = false;
  while (code() != kCloseBrace && code() != kEndOfFile) {
    if (code() == kNumber) {
      own = token().value;
      haveOwn = true;
      advance();
      continue;
    }
    if (!isName(code())) {
      advance();
      continue;
    }
    std::string label = token().text;
    advance();
    if (!accept(kOpenParen)) continue;
    if (code() != kNumber || !fitsSubidentifier(token().value)) {
      lexer_.reportError(code() == kNumber ? kBadOid : kMissingNumber);
      return skipPast(kCloseBrace);
    }
    uint32_t number = static_cast<uint32_t>(token().value);
    advance();
    accept(kCloseParen);
    parent = attach(label, parent, number, Definition{});
    if (!parent) return skipPast(kCloseBrace);
  }
  bool placeable = haveOwn && fitsSubidentifier(own);
  if (!placeable) lexer_.reportError(haveOwn ? kBadOid : kMissingNumber);
  expect(kCloseBrace, kMissingCloseBrace);
  // Without a usable number of its own the definition has no place.
  if (!placeable) return;
  attach(name, parent, static_cast<uint32_t>(own), std::move(definition));
}

Node* Parser::parentByName(const std::string& parentName, const std::string& name) {
  MibTree& tree = compiler_.tree();
  Node* parent = tree.findByName(parentName);
  if (!parent) parent = tree.rootByName(parentName, module_);
  if (!parent) warn(1, "WARNING! Parent not FOUND !\t(" + parentName + " <- " + name + ")");
  return parent;
}

// The node whose OID the numbers spell, converted by the manager library;
// the roots 0, 1 and 2 are made when missing.
Node* Parser::parentByNumbers(const std::vector<uint32_t>& numbers, const std::string& name) {
  std::string text = dotted(numbers);
  smiOID converted{};
  if (SnmpStrToOid(text.c_str(), &converted) != SNMPAPI_SUCCESS) {
    lexer_.reportError(kBadOid);
    return nullptr;
  }
  Oid oid(converted.ptr, converted.ptr + converted.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&converted));
  MibTree& tree = compiler_.tree();
  Node* parent = oid.size() == 1 ? tree.rootByNumber(oid[0], module_) : nullptr;
  if (!parent) parent = tree.findByOid(oid);
  if (!parent) warn(1, "WARNING! Parent not FOUND !\t(" + text + " <- " + name + ")");
  return parent;
}

Node* Parser::attach(const std::string& name, Node* parent, uint32_t subidentifier, Definition definition) {
  Oid oid = parent ? parent->oid : Oid{};
  oid.push_back(subidentifier);
  Node* existing = nullptr;
  Node* node = compiler_.tree().insert(name, module_, oid, &existing);
  if (!node) {
    if (existing) {
      warn(2, "WARNING! Two nodes has same OID value (" + existing->name + " (module: " + existing->module + "), " +
                  name + " (module: " + module_ + ") " + ")." + " Using from " + existing->module + " module.");
    }
    return nullptr;
  }
  node->definition = std::move(definition);
  KnownModule& known = compiler_.modules().entry(module_);
  if (known.rootOid == "None") known.rootOid = oidText(node->oid);
  return node;
}

}  // namespace modforge
