// The reserved-word table, grouped by word length so that a lookup only
// compares the words of one length, and the texts of the special symbols.
#include "modforge/token.h"

#include <array>
#include <cstring>
#include <vector>

namespace modforge {
namespace {

struct ReservedWord {
  int code;
  const char* text;
};

constexpr ReservedWord kReservedWords[] = {
    {kObsolete, "obsolete"},
    {kOpaque, "Opaque"},
    {kOptional, "optional"},
    {kLastUpdated, "LAST-UPDATED"},
    {kOrganization, "ORGANIZATION"},
    {kContactInfo, "CONTACT-INFO"},
    {kModuleIdentity, "MODULE-IDENTITY"},
    {kModuleCompliance, "MODULE-COMPLIANCE"},
    {kDefinitions, "DEFINITIONS"},
    {kEnd, "END"},
    {kAugments, "AUGMENTS"},
    {kNotAccessible, "not-accessible"},
    {kWriteOnly, "write-only"},
    {kNsapAddress, "NsapAddress"},
    {kUnits, "UNITS"},
    {kReference, "REFERENCE"},
    {kNumEntries, "NUM-ENTRIES"},
    {kBit, "BIT"},
    {kCounter64, "Counter64"},
    {kTimeTicks, "TimeTicks"},
    {kNotificationType, "NOTIFICATION-TYPE"},
    {kObjectGroup, "OBJECT-GROUP"},
    {kObject, "OBJECT"},
    {kNetworkAddress, "NetworkAddress"},
    {kGauge, "Gauge"},
    {kReadWrite, "read-write"},
    {kReadCreate, "read-create"},
    {kOctet, "OCTET"},
    {kStringWord, "STRING"},
    {kIdentifierWord, "IDENTIFIER"},
    {kOf, "OF"},
    {kSequence, "SEQUENCE"},
    {kNull, "NULL"},
    {kIpAddress, "IpAddress"},
    {kUIntefer32, "UIntefer32"},
    {kInteger, "INTEGER"},
    {kCounter, "Counter"},
    {kReadOnly, "read-only"},
    {kDescription, "DESCRIPTION"},
    {kIndex, "INDEX"},
    {kDefval, "DEFVAL"},
    {kDeprecated, "deprecated"},
    {kSize, "SIZE"},
    {kMaxAccess, "MAX-ACCESS"},
    {kAccess, "ACCESS"},
    {kMandatory, "mandatory"},
    {kCurrent, "current"},
    {kStatus, "STATUS"},
    {kSyntax, "SYNTAX"},
    {kObjectType, "OBJECT-TYPE"},
    {kBegin, "BEGIN"},
    {kDisplayString, "DisplayString"},
    {kObjects, "OBJECTS"},
    {kIntefer32, "Intefer32"},
    {kModule, "MODULE"},
    {kGroup, "GROUP"},
    {kMandatoryGroups, "MANDATORY-GROUPS"},
    {kRevision, "REVISION"},
    {kImports, "IMPORTS"},
    {kExports, "EXPORTS"},
    {kTextualConvention, "TEXTUAL-CONVENTION"},
    {kFrom, "FROM"},
    {kSmi, "SMI"},
    {kTrapType, "TRAP-TYPE"},
    {kWriteSyntax, "WRITE-SYNTAX"},
    {kMinAccess, "MIN-ACCESS"},
    {kObjectIdentity, "OBJECT-IDENTITY"},
    {kNotificationGroup, "NOTIFICATION-GROUP"},
    {kNotifications, "NOTIFICATIONS"},
    {kAgentCapabilities, "AGENT-CAPABILITIES"},
    {kProductRelease, "PRODUCT-RELEASE"},
    {kSupports, "SUPPORTS"},
    {kIncludes, "INCLUDES"},
    {kVariation, "VARIATION"},
    {kCreationRequires, "CREATION-REQUIRES"},
    {kChoice, "CHOICE"},
    {kImplicit, "IMPLICIT"},
};

constexpr size_t kShortestWord = 2;
constexpr size_t kLongestWord = 18;

using LengthGroups = std::array<std::vector<ReservedWord>, kLongestWord + 1>;

const LengthGroups& groupsByLength() {
  static const LengthGroups groups = [] {
    LengthGroups built;
    for (const ReservedWord& word : kReservedWords) built[std::strlen(word.text)].push_back(word);
    return built;
  }();
  return groups;
}

constexpr const char* kSpecialTexts[] = {"*", "(", ")", "+", "=", "{", "-", "}", ":", ";", "<", ">",
                                         ",", "'", ".", "/", "::=", "<=", ">=", "<>", "..", "|", "[", "]"};

}  // namespace

int lookUpReservedWord(const char* word, size_t length) {
  if (length < kShortestWord || length > kLongestWord) return kIdentifier;
  for (const ReservedWord& candidate : groupsByLength()[length]) {
    if (std::memcmp(candidate.text, word, length) == 0) return candidate.code;
  }
  return kIdentifier;
}

const char* tokenCodeText(int code) {
  if (code >= kStar && code <= kCloseBracket) return kSpecialTexts[code - kStar];
  for (const ReservedWord& word : kReservedWords) {
    if (word.code == code) return word.text;
  }
  return nullptr;
}

}  // namespace modforge
