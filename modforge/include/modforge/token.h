// Token kinds of the SMI lexer. The codes are part of the compiler's
// behaviour: access and status values are stored as the token code of
// their keyword, and the reserved-word table in reserved_words.cpp pairs
// each word code below with its text.
#pragma once

#include <cstdint>
#include <string>

namespace modforge {

enum TokenCode : int {
  kIdentifier = 1,
  kNumber = 2,
  kString = 3,
  kEndOfFile = 4,
  kErrorToken = 5,
  // Special symbols.
  kStar = 6,
  kOpenParen = 7,
  kCloseParen = 8,
  kPlus = 9,
  kEquals = 10,
  kOpenBrace = 11,
  kMinus = 12,
  kCloseBrace = 13,
  kColon = 14,
  kSemicolon = 15,
  kLess = 16,
  kGreater = 17,
  kComma = 18,
  kApostrophe = 19,
  kDot = 20,
  kSlash = 21,
  kAssign = 22,  // "::="
  kLessEqual = 23,
  kGreaterEqual = 24,
  kNotEqual = 25,
  kRange = 26,  // ".."
  kBar = 27,
  kOpenBracket = 28,
  kCloseBracket = 29,
  // Reserved words.
  kObsolete = 30,
  kOpaque = 31,
  kOptional = 32,
  kLastUpdated = 33,
  kOrganization = 34,
  kContactInfo = 35,
  kModuleIdentity = 36,
  kModuleCompliance = 37,
  kDefinitions = 38,
  kEnd = 39,
  kAugments = 40,
  kNotAccessible = 41,
  kWriteOnly = 42,
  kNsapAddress = 43,
  kUnits = 44,
  kReference = 45,
  kNumEntries = 46,
  kBit = 48,
  kCounter64 = 49,
  kTimeTicks = 50,
  kNotificationType = 51,
  kObjectGroup = 52,
  kObject = 54,
  kNetworkAddress = 55,
  kGauge = 56,
  kReadWrite = 57,
  kReadCreate = 58,
  kOctet = 60,
  kStringWord = 61,
  kIdentifierWord = 62,
  kOf = 63,
  kSequence = 64,
  kNull = 65,
  kIpAddress = 66,
  kUIntefer32 = 67,
  kInteger = 68,
  kCounter = 69,
  kReadOnly = 70,
  kDescription = 71,
  kIndex = 72,
  kDefval = 73,
  kDeprecated = 74,
  kSize = 75,
  kMaxAccess = 76,
  kAccess = 77,
  kMandatory = 78,
  kCurrent = 79,
  kStatus = 80,
  kSyntax = 81,
  kObjectType = 82,
  kBegin = 83,
  kDisplayString = 84,
  kObjects = 85,
  kIntefer32 = 86,
  kModule = 87,
  kGroup = 88,
  kMandatoryGroups = 89,
  kRevision = 90,
  kImports = 91,
  kExports = 92,
  kTextualConvention = 93,
  kFrom = 94,
  kSmi = 95,
  kTrapType = 96,
  kWriteSyntax = 97,
  kMinAccess = 98,
  kObjectIdentity = 99,
  kNotificationGroup = 100,
  kNotifications = 101,
  kAgentCapabilities = 102,
  kProductRelease = 103,
  kSupports = 104,
  kIncludes = 105,
  kVariation = 106,
  kCreationRequires = 107,
  kChoice = 110,
  kImplicit = 111,
};

struct Token {
  int code = kEndOfFile;
  std::string text;
  // Numbers only: the integer value (the integer part of a real).
  int64_t value = 0;
};

// The reserved word's code, or kIdentifier when `word` is not reserved.
// Only words of 2..18 characters can be reserved.
[[nodiscard]] int lookUpReservedWord(const char* word, size_t length);

// The text of a reserved word or special symbol code, null for others.
[[nodiscard]] const char* tokenCodeText(int code);

}  // namespace modforge
