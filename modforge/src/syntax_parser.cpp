// SYNTAX clauses, type assignments and TEXTUAL-CONVENTIONs: the type name
// or keyword, enumerations, ranges and sizes.
#include "parser.h"

#include "modforge/messages.h"

#include <limits>

namespace modforge {
namespace {

bool namesType(int code) {
  switch (code) {
    case kIdentifier:
    case kOpaque:
    case kNsapAddress:
    case kCounter64:
    case kTimeTicks:
    case kNetworkAddress:
    case kGauge:
    case kIpAddress:
    case kCounter:
      return true;
    default:
      return false;
  }
}

bool isIntegerKeyword(int code) {
  return code == kInteger || code == kIntefer32 || code == kUIntefer32 || code == kBit;
}

// Value of hexadecimal ('..'H) or binary ('..'B) digits; false when a
// digit does not belong to the base or the value outgrows 63 bits.
bool convertDigits(const std::string& digits, int base, int64_t& value) {
  value = 0;
  for (char digit : digits) {
    int number = digit >= '0' && digit <= '9'   ? digit - '0'
                 : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                 : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                                                : base;
    if (number >= base || value > (INT64_MAX - number) / base) return false;
    value = value * base + number;
  }
  return true;
}

}  // namespace

Syntax Parser::parseSyntax() {
  // Tags ("[APPLICATION 1] IMPLICIT") come before the syntax itself; the
  // application tag is what tells the SMI's base types apart.
  int applicationTag = -1;
  while (code() == kOpenBracket) {
    parseTag(applicationTag);
    accept(kImplicit);
  }
  Syntax syntax = parseUntaggedSyntax();
  syntax.applicationTag = applicationTag;
  return syntax;
}

// "[" optional class number "]"; an APPLICATION tag's number goes to
// `applicationTag`.
void Parser::parseTag(int& applicationTag) {
  advance();
  bool application = code() == kIdentifier && token().text == "APPLICATION";
  if (application) advance();
  if (application && code() == kNumber && token().value <= std::numeric_limits<int>::max()) {
    applicationTag = static_cast<int>(token().value);
  }
  skipPast(kCloseBracket);
}

Syntax Parser::parseUntaggedSyntax() {
  Syntax syntax;
  syntax.baseToken = code();
  syntax.text = token().text;
  if (namesType(code())) {
    advance();
    if (code() == kOpenBrace) skipBalanced(kOpenBrace, kCloseBrace);
    else if (code() == kOpenParen) skipBalanced(kOpenParen, kCloseParen);
    return syntax;
  }
  if (isIntegerKeyword(code())) {
    advance();
    if (syntax.baseToken == kBit && code() != kEndOfFile) {
      syntax.text += " " + token().text;
      advance();
    }
    if (code() == kOpenBrace) parseEnumeration(syntax);
    else if (accept(kOpenParen)) parseRanges(syntax.ranges);
    return syntax;
  }
  switch (code()) {
    case kOctet:
      advance();
      if (accept(kStringWord)) syntax.text += " STRING";
      else lexer_.reportError(kMissingString);
      parseSizeOrRanges(syntax);
      return syntax;
    case kDisplayString:
      advance();
      parseSizeOrRanges(syntax);
      return syntax;
    case kObject:
      advance();
      if (accept(kIdentifierWord)) syntax.text += " IDENTIFIER";
      return syntax;
    case kSequence:
      advance();
      if (accept(kOf)) {
        syntax.text += " OF " + token().text;
        if (code() != kEndOfFile) advance();
      } else if (code() == kOpenBrace) {
        skipBalanced(kOpenBrace, kCloseBrace);
      }
      return syntax;
    case kChoice:
      advance();
      if (code() == kOpenBrace) skipBalanced(kOpenBrace, kCloseBrace);
      return syntax;
    case kOpenBrace:
      lexer_.reportError(kBadDefinition);
      skipPast(kCloseBrace);
      return Syntax{};
    default:
      return Syntax{};
  }
}

// "{" label "(" number ")" , ... "}"
void Parser::parseEnumeration(Syntax& syntax) {
  advance();
  while (code() != kCloseBrace && code() != kEndOfFile) {
    if (accept(kComma)) continue;
    std::string label = token().text;
    advance();
    if (!accept(kOpenParen)) {
      lexer_.reportError(kMissingOpenParen);
      continue;
    }
    bool negative = accept(kMinus);
    int64_t number = code() == kNumber ? token().value : 0;
    if (code() == kNumber) advance();
    accept(kCloseParen);
    syntax.enumeration.emplace_back(std::move(label), negative ? -number : number);
  }
  accept(kCloseBrace);
}

// Values and a..b ranges separated by "|", up to and including ")".
void Parser::parseRanges(RangeList& ranges) {
  while (code() != kCloseParen && code() != kEndOfFile) {
    int64_t low = 0;
    if (!parseRangeValue(low)) {
      advance();
      continue;
    }
    int64_t high = low;
    if (accept(kRange) && !parseRangeValue(high)) high = low;
    ranges.emplace_back(low, high);
  }
  accept(kCloseParen);
}

// An optional "-" and a number, or '..'H / '..'B digits.
bool Parser::parseRangeValue(int64_t& value) {
  if (accept(kMinus)) {
    if (code() != kNumber) return false;
    value = -token().value;
    advance();
    return true;
  }
  if (code() == kNumber) {
    value = token().value;
    advance();
    return true;
  }
  if (!accept(kApostrophe)) return false;
  std::string digits;
  while (code() != kApostrophe && code() != kCloseParen && code() != kEndOfFile) {
    digits += token().text;
    advance();
  }
  if (!accept(kApostrophe)) return false;
  const std::string& letter = token().text;
  int base = letter == "H" || letter == "h" ? 16 : letter == "B" || letter == "b" ? 2 : 0;
  if (base == 0) return false;
  advance();
  return convertDigits(digits, base, value);
}

// Optionally "(" "SIZE" "(" ranges ")" ")" or "(" ranges ")".
void Parser::parseSizeOrRanges(Syntax& syntax) {
  if (!accept(kOpenParen)) return;
  if (!accept(kSize)) return parseRanges(syntax.ranges);
  if (accept(kOpenParen)) parseRanges(syntax.ranges);
  accept(kCloseParen);
}

}  // namespace modforge
