// Questions about MIB nodes, and the names of their codes.
#include "mib_node.h"

#include "agent_request.h"

#include <vector>

namespace netlens {

OwnedOid::~OwnedOid() { releaseOid(oid_); }

OwnedOid& OwnedOid::operator=(OwnedOid&& other) noexcept {
  if (this != &other) {
    releaseOid(oid_);
    oid_ = other.oid_;
    other.oid_ = smiOID{};
  }
  return *this;
}

std::optional<std::string> nodeString(HWSM_NODE node, UINT selector) {
  if (!node) return std::nullopt;
  // Descriptions run to pages; grow the buffer until the text fits.
  for (smiUINT32 capacity = 512; capacity <= (1u << 24); capacity *= 4) {
    std::vector<char> buffer(capacity, '\0');
    smiUINT32 size = capacity;
    if (WsmGetNodeString(node, selector, &size, buffer.data())) return std::string(buffer.data());
    if (WsmGetLastError() != WSM_ERROR_BUFFER_TOO_SMALL) return std::nullopt;
  }
  return std::nullopt;
}

std::string nodeName(HWSM_NODE node) { return nodeString(node, WSM_NODE_NAME).value_or(std::string()); }

std::optional<smiUINT32> nodeInt(HWSM_NODE node, UINT selector) {
  smiUINT32 value = 0;
  if (!node || !WsmGetNodeInt(node, selector, &value)) return std::nullopt;
  return value;
}

OwnedOid nodeOid(HWSM_NODE node) {
  OwnedOid oid;
  if (node && !WsmGetNodeOid(node, WSM_NODE_OID, oid.out())) return OwnedOid();
  return oid;
}

HWSM_NODE nodeNamed(const std::string& name) { return name.empty() ? 0 : WsmMapStrToNode(name.c_str()); }

const char* kindName(smiUINT32 kind) {
  static const char* const names[] = {"MODULE-IDENTITY",   "OBJECT-IDENTITY",    "OBJECT-TYPE",
                                      "NOTIFICATION-TYPE", "OBJECT-GROUP",       "MODULE-COMPLIANCE",
                                      "AGENT-CAPABILITIES", "OBJECT-IDENTIFIER"};
  return kind >= 1 && kind <= 8 ? names[kind - 1] : nullptr;
}

const char* statusName(smiUINT32 status) {
  static const char* const names[] = {"mandatory", "optional", "obsolete", "deprecated", "current"};
  return status >= 1 && status <= 5 ? names[status - 1] : nullptr;
}

const char* accessName(smiUINT32 access) {
  static const char* const names[] = {"read-only", "read-write", "write-only", "not-accessible", "read-create"};
  return access >= 1 && access <= 5 ? names[access - 1] : nullptr;
}

const char* syntaxConstantName(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_INT: return "SNMP_SYNTAX_INT";
    case SNMP_SYNTAX_BITS: return "SNMP_SYNTAX_BITS";
    case SNMP_SYNTAX_OCTETS: return "SNMP_SYNTAX_OCTETS";
    case SNMP_SYNTAX_NULL: return "SNMP_SYNTAX_NULL";
    case SNMP_SYNTAX_OID: return "SNMP_SYNTAX_OID";
    case 48: return "SNMP_SYNTAX_SEQUENCE";
    case SNMP_SYNTAX_IPADDR: return "SNMP_SYNTAX_IPADDR";
    case SNMP_SYNTAX_CNTR32: return "SNMP_SYNTAX_CNTR32";
    case SNMP_SYNTAX_GAUGE32: return "SNMP_SYNTAX_GAUGE32";
    case SNMP_SYNTAX_TIMETICKS: return "SNMP_SYNTAX_TIMETICKS";
    case SNMP_SYNTAX_OPAQUE: return "SNMP_SYNTAX_OPAQUE";
    case SNMP_SYNTAX_NSAPADDR: return "SNMP_SYNTAX_NSAPADDR";
    case SNMP_SYNTAX_CNTR64: return "SNMP_SYNTAX_CNTR64";
    case SNMP_SYNTAX_UINT32: return "SNMP_SYNTAX_UINT32";
    default: return nullptr;
  }
}

bool endsWithWord(const std::string& name, const std::string& word) {
  size_t first = name.find(word);
  return first != std::string::npos && first + word.size() == name.size();
}

bool isTableNode(HWSM_NODE node) {
  // Bounded like the tree itself: no MIB is deeper than 255 levels.
  for (int depth = 0; node && depth < 256; ++depth, node = WsmFindNodeParent(node)) {
    std::string name = nodeName(node);
    if (endsWithWord(name, "Table") || endsWithWord(name, "Entry")) return true;
  }
  return false;
}

}  // namespace netlens
