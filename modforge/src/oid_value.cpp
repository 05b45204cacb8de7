// The OID value in braces that ends every node-making construct. It is read
// whole first and placed in the tree afterwards (tree_placement.cpp), so
// that a definition whose parent comes later in the module can wait.
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

}  // namespace

void Parser::parseOidValue(const std::string& name, Definition&& definition) {
  OidValue value;
  value.line = lexer_.lineNumber();
  if (!accept(kOpenBrace)) {
    lexer_.reportError(kMissingBrace);
    return skipPast(kCloseBrace);
  }
  if (code() == kNumber) {
    bool closed = false;
    if (!parseLeadingNumbers(name, value, closed)) return closed ? void() : skipPast(kCloseBrace);
    if (closed) return place(name, std::move(definition), std::move(value));
  } else if (isName(code())) {
    value.parentName = token().text;
    advance();
    if (code() == kOpenParen) skipBalanced(kOpenParen, kCloseParen);
  } else {
    return skipPast(kCloseBrace);
  }
  // Errors inside the value leave the definition without a place, but the
  // nodes named on the way before the error are still made.
  if (!parseOidElements(value)) {
    value.own.reset();
    skipPast(kCloseBrace);
  } else {
    expect(kCloseBrace, kMissingCloseBrace);
  }
  place(name, std::move(definition), std::move(value));
}

// The numbers a value starts with: they spell the parent, or when "}"
// follows them (`closed`), all but the last do and the last is the
// definition's own. False after an error, reported.
bool Parser::parseLeadingNumbers(const std::string& name, OidValue& value, bool& closed) {
  while (code() == kNumber) {
    if (!fitsSubidentifier(token().value)) {
      lexer_.reportError(kBadOid);
      return false;
    }
    value.parentNumbers.push_back(static_cast<uint32_t>(token().value));
    advance();
  }
  closed = accept(kCloseBrace);
  if (closed) {
    value.own = value.parentNumbers.back();
    value.parentNumbers.pop_back();
  }
  if (value.parentNumbers.size() >= kLongestOid) {
    lexer_.reportErrorAt(value.line, kOidTooLong, name);
    return false;
  }
  return convertsToOid(value.parentNumbers);
}

// The elements after the parent up to "}": name(number) nodes and plain
// numbers, of which the last is the definition's own. Other words are
// passed over. False after an error that ends the value.
bool Parser::parseOidElements(OidValue& value) {
  std::optional<uint32_t> own;
  while (code() != kCloseBrace && code() != kEndOfFile) {
    if (!isName(code()) && code() != kNumber) {
      advance();
      continue;
    }
    std::string label;
    if (isName(code())) {
      label = token().text;
      advance();
      if (!accept(kOpenParen)) continue;
      if (code() != kNumber) {
        lexer_.reportError(kMissingNumber);
        return false;
      }
    }
    if (!fitsSubidentifier(token().value)) {
      lexer_.reportError(kBadOid);
      return false;
    }
    // A plain number followed by more elements is a node on the way.
    if (own) value.steps.push_back({"", *own});
    own.reset();
    auto number = static_cast<uint32_t>(token().value);
    advance();
    if (label.empty()) {
      own = number;
    } else {
      accept(kCloseParen);
      value.steps.push_back({std::move(label), number});
    }
  }
  if (!own) lexer_.reportError(kMissingNumber);
  value.own = own;
  return true;
}

// Leading numbers must make an OID the manager library accepts.
bool Parser::convertsToOid(const std::vector<uint32_t>& numbers) {
  if (numbers.empty()) return true;
  std::string text;
  for (uint32_t number : numbers) text += (text.empty() ? "" : ".") + std::to_string(number);
  compiler_.useManagerLibrary();
  smiOID converted{};
  if (SnmpStrToOid(text.c_str(), &converted) != SNMPAPI_SUCCESS) {
    lexer_.reportError(kBadOid);
    return false;
  }
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&converted));
  return true;
}

}  // namespace modforge
