// What the parser learns about one definition besides its place in the
// tree: its kind, syntax, access, status and texts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace modforge {

enum class NodeKind : int {
  objectIdentifier = 0,
  objectType = 1,
  objectGroup = 3,
  moduleCompliance = 4,
  moduleIdentity = 5,
  notificationType = 7,
  objectIdentity = 8,
  notificationGroup = 9,
  agentCapabilities = 10,
};

// Ordered (minimum, maximum) pairs; a single value v is (v, v).
using RangeList = std::vector<std::pair<int64_t, int64_t>>;
// Ordered (label, number) pairs.
using EnumerationList = std::vector<std::pair<std::string, int64_t>>;

struct Syntax {
  // The syntax keyword's token code, kIdentifier for a named type, 0 when
  // there was no syntax.
  int baseToken = 0;
  // The syntax as written: a type name, "INTEGER", "BIT STRING", ...
  std::string text;
  RangeList ranges;
  EnumerationList enumeration;
  // n of an [APPLICATION n] tag in front of the type, -1 without one.
  int applicationTag = -1;
};

// One module section of a MODULE-COMPLIANCE, kept for display.
struct ComplianceModule {
  struct Entry {
    bool isGroup = false;
    std::string name;
    std::string syntax;
    std::string writeSyntax;
    std::string minAccess;
    std::string description;
  };
  std::string module;
  std::vector<std::string> mandatoryGroups;
  std::vector<Entry> entries;
};

struct Definition {
  NodeKind kind = NodeKind::objectIdentifier;
  Syntax syntax;
  std::string units;
  // Token codes of the ACCESS / MAX-ACCESS and STATUS values, 0 if absent.
  int access = 0;
  int status = 0;
  std::string description;
  std::string reference;
  // MODULE-IDENTITY.
  std::string lastUpdated;
  std::string organization;
  std::string contactInfo;
  // AGENT-CAPABILITIES.
  std::string productRelease;
  // OBJECTS of groups and notifications, NOTIFICATIONS of notification groups.
  std::vector<std::string> members;
  std::vector<ComplianceModule> compliance;
};

}  // namespace modforge
