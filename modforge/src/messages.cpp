// Message tables. Indexes 0..81 are the compiler's historic table, kept
// whole (typos included) because the log texts are part of its behaviour.
#include "modforge/messages.h"

#include <iterator>

namespace modforge {
namespace {

constexpr const char* kErrorTexts[] = {
    "No error",
    "Unrecognizable input",
    "Too many syntax errors",
    "Unexpected end of file",
    "Invalid number",
    "Invalid fraction",
    "Invalid exponent",
    "Too many digits",
    "Real literal out of range",
    "Integer literal out of range",
    "Missing )",
    "Invalid expression",
    "Invalid assignment statement",
    "Missing identifier",
    "Missing ::=",
    "Undefined identifier",
    "Stack overflow",
    "Invalid statement",
    "Unexpected token",
    "Missing ;",
    "Missing ,",
    "Missing DO",
    "Missing UNTIL",
    "Missing THEN",
    "Invalid FOR control variable",
    "Missing OF",
    "Invalid constant",
    "Missing constant",
    "Missing :",
    "Missing END",
    "Missing TO or DOWNTO",
    "Redefined identifier",
    "Missing =",
    "Invalid type",
    "Not a type identifier",
    "Invalid subrange type",
    "Not a constant identifier",
    "Missing ..",
    "Incompatible types",
    "Invalid assignment target",
    "Invalid identifier usage",
    "Incompatible assignment",
    "Min limit greater than max limit",
    "Missing {",
    "Missing }",
    "Invalid index type",
    "Missing BEGIN",
    "Missing .",
    "Too many subscripts",
    "Invalid field",
    "Nesting too deep",
    "Missing PROGRAM",
    "Already specified in FORWARD",
    "Wrong number of actual parameters",
    "Invalid VAR parameter",
    "Not a record variable",
    "Missing variable",
    "Code segment overflow",
    "Unimplemented feature",
    "END without BEGIN",
    "Missing number",
    "Bad Oid (Can't convert from string to smiNode)",
    "Missing token",
    "Nested MIBs",
    "Missing SYNTAX",
    "Missing (",
    "Missing SIZE",
    "Missing ACCESS",
    "Missing STATUS",
    "Missing STRING",
    "Missing OBJECTS",
    "Missing DESCRIPTION",
    "Missing MODULE",
    "Miising LAST-UPDATED",
    "Missing ORGANIZATION",
    "Missing CONTACT-INFO",
    "Missing REFERNCE",
    "Missing NOTIFICATIONS",
    "Parent not found!!!!",
    "This file doesnt seem to be a valid file",
    "Missing PRODUCT-RELEASE",
    "Bad Definition",
    "Source line too long; the rest of the line is ignored",
    "String too long; the rest of the string is ignored",
    "Imports nested too deeply",
    "OID longer than 128 sub-identifiers; the definition is dropped",
};

constexpr const char* kFatalTexts[] = {
    "Invalid command line arguments",        "Failed to open source file", "Failed to open intermediate form file",
    "Failed to open assembly file",          "Too many syntax errors",     "Stack overflow",
};

}  // namespace

const char* errorText(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kErrorTexts))) return "Unknown error";
  return kErrorTexts[index];
}

std::string errorLine(int lineNumber, int index, std::string_view subject) {
  std::string line = "*** ERROR at line(" + std::to_string(lineNumber) + "): " + errorText(index);
  if (!subject.empty()) line.append(" (").append(subject).append(")");
  return line;
}

std::string fatalErrorLine(int index) {
  int position = -index - 1;
  const char* text = position >= 0 && position < static_cast<int>(std::size(kFatalTexts)) ? kFatalTexts[position]
                                                                                          : "Unknown error";
  return std::string("*** Fatal translator error: ") + text + "\n";
}

}  // namespace modforge
