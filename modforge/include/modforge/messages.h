// The compiler's error messages by index, shared by the lexer, the parser
// and the tree checks, and the warning texts of the tree checks.
#pragma once

#include <string>
#include <string_view>

namespace modforge {

enum ErrorIndex : int {
  kUnrecognizableInput = 1,
  kTooManySyntaxErrors = 2,
  kUnexpectedEndOfFile = 3,
  kInvalidFraction = 5,
  kInvalidExponent = 6,
  kTooManyDigits = 7,
  kRealOutOfRange = 8,
  kIntegerOutOfRange = 9,
  kMissingAssign = 14,
  kMissingBrace = 43,
  kMissingCloseBrace = 44,
  kMissingBegin = 46,
  kMissingNumber = 60,
  kBadOid = 61,
  kMissingToken = 62,
  kNestedMibs = 63,
  kMissingSyntax = 64,
  kMissingOpenParen = 65,
  kMissingAccess = 67,
  kMissingStatus = 68,
  kMissingString = 69,
  kMissingObjects = 70,
  kMissingDescription = 71,
  kMissingLastUpdated = 73,
  kMissingOrganization = 74,
  kMissingContactInfo = 75,
  kMissingReference = 76,
  kMissingNotifications = 77,
  kNotAValidFile = 79,
  kMissingProductRelease = 80,
  kBadDefinition = 81,
  // Limits of this compiler that the table above has no text for.
  kSourceLineTooLong = 82,
  kStringTooLong = 83,
  kImportsTooDeep = 84,
  kOidTooLong = 85,
};

// The text of an error index; "Unknown error" outside the table.
[[nodiscard]] const char* errorText(int index);

// "*** ERROR at line(N): text", followed by " (subject)" when one is given.
[[nodiscard]] std::string errorLine(int lineNumber, int index, std::string_view subject = {});

// "*** Fatal translator error: text\n" for the fatal indexes -1..-6.
[[nodiscard]] std::string fatalErrorLine(int index);

}  // namespace modforge
