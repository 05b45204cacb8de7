// Conversions between netmgr's binding lists and the RFC 1157 binding
// lists of the platform SNMP utility library, for sessions of the platform
// trap service (mode 8). Memory on the platform side always comes from the
// utility library, so the platform's release functions can free it.
#include "binding_list.h"
#include "call_frame.h"
#include "utility_library.h"

#include <cstring>

using namespace netmgr;

namespace {

// The WinSNMP syntax of a platform type; 0 for a type that cannot be carried.
smiUINT32 syntaxOfType(BYTE type) {
  switch (type) {
    case RFC1157_INTEGER: return SNMP_SYNTAX_INT;
    case RFC1157_OCTET_STRING: return SNMP_SYNTAX_OCTETS;
    case RFC1157_NULL: return SNMP_SYNTAX_NULL;
    case RFC1157_OBJECT_IDENTIFIER: return SNMP_SYNTAX_OID;
    case RFC1157_IPADDRESS: return SNMP_SYNTAX_IPADDR;
    case RFC1157_COUNTER: return SNMP_SYNTAX_CNTR32;
    case RFC1157_GAUGE: return SNMP_SYNTAX_GAUGE32;
    case RFC1157_TIMETICKS: return SNMP_SYNTAX_TIMETICKS;
    case RFC1157_OPAQUE: return SNMP_SYNTAX_OPAQUE;
    default: return 0;
  }
}

// The platform type of a WinSNMP syntax; 0 for one the platform form has
// no type for (NsapAddress, Counter64, the exceptions).
BYTE typeOfSyntax(smiUINT32 syntax) {
  switch (syntax) {
    case SNMP_SYNTAX_INT:
    case SNMP_SYNTAX_UINT32: return RFC1157_INTEGER;
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_BITS: return RFC1157_OCTET_STRING;
    case SNMP_SYNTAX_NULL: return RFC1157_NULL;
    case SNMP_SYNTAX_OID: return RFC1157_OBJECT_IDENTIFIER;
    case SNMP_SYNTAX_IPADDR: return RFC1157_IPADDRESS;
    case SNMP_SYNTAX_CNTR32: return RFC1157_COUNTER;
    case SNMP_SYNTAX_GAUGE32: return RFC1157_GAUGE;
    case SNMP_SYNTAX_TIMETICKS: return RFC1157_TIMETICKS;
    case SNMP_SYNTAX_OPAQUE: return RFC1157_OPAQUE;
    default: return 0;
  }
}

// One platform binding as a name and a value that point into it. Returns
// 0 or 1021: an unknown type, a name without sub-identifiers, or a string
// or OID whose length has no memory behind it.
uint32_t readBinding(const Rfc1157VarBind& binding, smiOID& name, smiVALUE& value) {
  if (!binding.name.numbers) return SNMPAPI_CONVERSION_UNSUPPORTED;
  name = {binding.name.count, binding.name.numbers};
  value = {};
  value.syntax = syntaxOfType(binding.value.type);
  switch (value.syntax) {
    case 0: return SNMPAPI_CONVERSION_UNSUPPORTED;
    case SNMP_SYNTAX_INT: value.value.sNumber = binding.value.value.number; break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS: value.value.uNumber = binding.value.value.unsignedNumber; break;
    case SNMP_SYNTAX_OID:
      if (binding.value.value.oid.count && !binding.value.value.oid.numbers) return SNMPAPI_CONVERSION_UNSUPPORTED;
      value.value.oid = {binding.value.value.oid.count, binding.value.value.oid.numbers};
      break;
    case SNMP_SYNTAX_NULL: break;
    default:  // the three octet-string types
      if (binding.value.value.string.length && !binding.value.value.string.octets) {
        return SNMPAPI_CONVERSION_UNSUPPORTED;
      }
      value.value.string = {binding.value.value.string.length, binding.value.value.string.octets};
  }
  return 0;
}

// A copy in utility-library memory (none for an empty block).
template <class Element>
bool copyOut(const UtilityLibrary& utility, const Element* source, UINT count, Element*& copy) {
  copy = nullptr;
  if (count == 0) return true;
  copy = static_cast<Element*>(utility.memAlloc(static_cast<UINT>(count * sizeof(Element))));
  if (!copy) return false;
  std::memcpy(copy, source, count * sizeof(Element));
  return true;
}

enum class Outcome { converted, skipped, failed };

// Entry `entry` into `binding`. Skipped: a syntax the platform form cannot
// carry (error 14). Failed: memory ran out (`error` says which), and then
// nothing of the binding is left allocated.
Outcome convertEntry(const UtilityLibrary& utility, const Varbind& entry, Rfc1157VarBind& binding, uint32_t& error) {
  BYTE type = typeOfSyntax(entry.value.syntax);
  if (type == 0) return Outcome::skipped;
  binding = {};
  if (!copyOut(utility, entry.name.ptr, entry.name.len, binding.name.numbers) ||
      (entry.name.len && !binding.name.numbers)) {
    error = SNMPAPI_CONVERSION_UNSUPPORTED;
    return Outcome::failed;
  }
  binding.name.count = entry.name.len;
  binding.value.type = type;
  const smiVALUE& value = entry.value;
  bool copied = true;
  switch (type) {
    case RFC1157_INTEGER: binding.value.value.number = value.value.sNumber; break;
    case RFC1157_COUNTER:
    case RFC1157_GAUGE:
    case RFC1157_TIMETICKS: binding.value.value.unsignedNumber = value.value.uNumber; break;
    case RFC1157_NULL: break;
    case RFC1157_OBJECT_IDENTIFIER:
      copied = copyOut(utility, value.value.oid.ptr, value.value.oid.len, binding.value.value.oid.numbers);
      binding.value.value.oid.count = copied ? value.value.oid.len : 0;
      break;
    default:  // octet strings
      copied = copyOut(utility, value.value.string.ptr, value.value.string.len, binding.value.value.string.octets);
      binding.value.value.string.length = copied ? value.value.string.len : 0;
      binding.value.value.string.dynamic = binding.value.value.string.octets ? TRUE : FALSE;
  }
  if (!copied) {
    utility.oidFree(&binding.name);
    binding = {};
    error = SNMPAPI_ALLOC_ERROR;
    return Outcome::failed;
  }
  return Outcome::converted;
}

// The checks both conversions make, in their order, after their own
// list check. Null with the error recorded otherwise.
const UtilityLibrary* usableLibrary(CallFrame& frame) {
  if (!frame.started()) return nullptr;
  const UtilityLibrary* utility = utilityLibrary();
  if (!utility) frame.fail(SNMPAPI_TRAP_SERVICE_UNAVAILABLE);
  return utility;
}

}  // namespace

extern "C" {

// A new list of the session holding the platform bindings, in order.
// Null when a binding cannot be carried (1021) or memory runs out (2);
// nothing is then left behind.
HSNMP_VBL OvSnmpConvertMsRfc1157VblToWinSnmpVbl(HSNMP_SESSION sessionHandle, Rfc1157VarBindList* platformList) {
  CallFrame frame;
  if (!usableLibrary(frame)) return nullptr;
  Session* session = frame.session(sessionHandle);
  if (!session) return nullptr;
  frame.beginWork();
  if (!platformList) return frame.failWith<HSNMP_VBL>(SNMPAPI_CONVERSION_NO_VBL);
  if (session->notificationMode != SNMPAPI_NOTIFY_TRAP_SERVICE) {
    return frame.failWith<HSNMP_VBL>(SNMPAPI_NOTIFY_MODE_UNKNOWN);
  }
  if (platformList->count && !platformList->bindings) return frame.failWith<HSNMP_VBL>(SNMPAPI_CONVERSION_NO_VBL);
  BindingList* list = createList(session);
  if (!list) return frame.failWith<HSNMP_VBL>(SNMPAPI_ALLOC_ERROR);
  for (UINT i = 0; i < platformList->count; ++i) {
    smiOID name;
    smiVALUE value;
    uint32_t error = readBinding(platformList->bindings[i], name, value);
    if (!error) error = setEntry(*list, 0, &name, &value);
    if (error) {
      if (retireObject(ObjectKind::list, &list->header)) releaseList(list);
      return frame.failWith<HSNMP_VBL>(error);
    }
  }
  return list;
}

// The list's entries as platform bindings, in order, skipping those of a
// syntax the platform form cannot carry: each skipped entry sets the error
// status to badValue (3) and raises the error index to its index. On
// failure the bindings converted so far are in the output for the caller
// to release with SnmpUtilVarBindListFree.
SNMPAPI_STATUS OvSnmpConvertWinSnmpVblToMsRfc1157Vbl(HSNMP_SESSION sessionHandle, HSNMP_VBL listHandle,
                                                     Rfc1157VarBindList* platformList, smiLPINT errorStatus,
                                                     smiLPINT errorIndex) {
  CallFrame frame;
  const UtilityLibrary* utility = usableLibrary(frame);
  if (!utility) return SNMPAPI_FAILURE;
  Session* session = frame.session(sessionHandle);
  if (!session) return SNMPAPI_FAILURE;
  BindingList* list = frame.list(listHandle);
  if (!list) return SNMPAPI_FAILURE;
  frame.beginWork();
  if (!platformList) return frame.fail(SNMPAPI_CONVERSION_NO_VBL);
  if (session->notificationMode != SNMPAPI_NOTIFY_TRAP_SERVICE) return frame.fail(SNMPAPI_NOTIFY_MODE_UNKNOWN);
  *platformList = {nullptr, 0};
  smiUINT32 count = countEntries(*list);
  if (count == 0) return frame.fail(SNMPAPI_ALLOC_ERROR);
  platformList->bindings = static_cast<Rfc1157VarBind*>(utility->memAlloc(count * sizeof(Rfc1157VarBind)));
  if (!platformList->bindings) return frame.fail(SNMPAPI_ALLOC_ERROR);
  for (smiUINT32 index = 1; index <= count; ++index) {
    const Varbind* entry = findEntry(*list, index);
    uint32_t error = SNMPAPI_INDEX_INVALID;
    Outcome outcome = entry ? convertEntry(*utility, *entry, platformList->bindings[platformList->count], error)
                            : Outcome::failed;
    if (outcome == Outcome::failed) return frame.fail(error);
    if (outcome == Outcome::converted) {
      ++platformList->count;
      continue;
    }
    if (errorStatus) *errorStatus = SNMP_ERROR_BADVALUE;
    if (errorIndex && *errorIndex < static_cast<smiINT>(index)) *errorIndex = static_cast<smiINT>(index);
  }
  return SNMPAPI_SUCCESS;
}

}  // extern "C"
