// MIB nodes of the loaded modules as the browser's windows ask about them:
// names, OIDs and attribute codes through modbase, and the names of those
// codes.
#pragma once

#include "wsm.h"

#include <optional>
#include <string>

namespace netlens {

// An OID descriptor of the manager library, freed when it goes.
class OwnedOid {
 public:
  OwnedOid() = default;
  ~OwnedOid();
  OwnedOid(OwnedOid&& other) noexcept : oid_(other.oid_) { other.oid_ = smiOID{}; }
  OwnedOid& operator=(OwnedOid&& other) noexcept;
  OwnedOid(const OwnedOid&) = delete;
  OwnedOid& operator=(const OwnedOid&) = delete;

  smiOID* out() { return &oid_; }
  const smiOID& get() const { return oid_; }
  bool empty() const { return oid_.len == 0; }

 private:
  smiOID oid_{};
};

// A text attribute (WSM_NODE_NAME, WSM_NODE_DESCRIPTION ...), whole however
// long; nullopt when modbase has none.
std::optional<std::string> nodeString(HWSM_NODE node, UINT selector);
// The node's name, "" when it has none.
std::string nodeName(HWSM_NODE node);
std::optional<smiUINT32> nodeInt(HWSM_NODE node, UINT selector);
// The node's OID; empty when modbase cannot give it.
OwnedOid nodeOid(HWSM_NODE node);
// The node of this name, 0 for none or an empty name.
HWSM_NODE nodeNamed(const std::string& name);

// "MODULE-IDENTITY" ... "OBJECT-IDENTIFIER" for 1 .. 8; nullptr otherwise.
const char* kindName(smiUINT32 kind);
const char* statusName(smiUINT32 status);
const char* accessName(smiUINT32 access);
// "SNMP_SYNTAX_INT" ... ("SNMP_SYNTAX_SEQUENCE" for 48); nullptr otherwise.
const char* syntaxConstantName(smiUINT32 syntax);

// Whether `word` first occurs in `name` at its very end ("ifTable" ends
// with "Table", "TableSize" and "xTablesTable" do not).
bool endsWithWord(const std::string& name, const std::string& word);
// Whether the node or one of its ancestors has a name ending with "Table"
// or "Entry".
bool isTableNode(HWSM_NODE node);

}  // namespace netlens
