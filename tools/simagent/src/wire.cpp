// Conversion between the agent's values and the library's descriptors.
#include "wire.h"

#include "winsnmp_syntax.h"

#include <cstring>

namespace simagent {
namespace {

// The syntaxes whose data is a string of octets.
bool isOctetSyntax(smiUINT32 syntax) { return OvSnmpSyntaxHasDescriptor(syntax) && syntax != SNMP_SYNTAX_OID; }

}  // namespace

void releaseLibraryValue(smiVALUE& value) {
  if (OvSnmpSyntaxHasDescriptor(value.syntax)) {
    SnmpFreeDescriptor(value.syntax, reinterpret_cast<smiLPOPAQUE>(&value.value.string));
  }
}

Value valueFromLibrary(const smiVALUE& value) {
  Value result;
  result.syntax = static_cast<uint8_t>(value.syntax);
  if (value.syntax == SNMP_SYNTAX_INT) {
    result.number = value.value.sNumber;
  } else if (value.syntax == SNMP_SYNTAX_CNTR64) {
    result.counter64 = (uint64_t{value.value.hNumber.hipart} << 32) | value.value.hNumber.lopart;
  } else if (isOctetSyntax(value.syntax)) {
    if (value.value.string.len) {
      result.octets.assign(reinterpret_cast<const char*>(value.value.string.ptr), value.value.string.len);
    }
  } else if (value.syntax == SNMP_SYNTAX_OID) {
    if (value.value.oid.len) result.oid.assign(value.value.oid.ptr, value.value.oid.ptr + value.value.oid.len);
  } else if (value.syntax == SNMP_SYNTAX_CNTR32 || value.syntax == SNMP_SYNTAX_GAUGE32 ||
             value.syntax == SNMP_SYNTAX_TIMETICKS || value.syntax == SNMP_SYNTAX_UINT32) {
    result.number = value.value.uNumber;
  }
  return result;
}

namespace {

// A view of `value` for the library; the buffers stay `value`'s.
smiVALUE toLibrary(Value& value) {
  smiVALUE result{};
  result.syntax = value.syntax;
  if (value.syntax == SNMP_SYNTAX_INT) {
    result.value.sNumber = static_cast<smiINT>(value.number);
  } else if (value.syntax == SNMP_SYNTAX_CNTR64) {
    result.value.hNumber = {static_cast<smiUINT32>(value.counter64 >> 32), static_cast<smiUINT32>(value.counter64)};
  } else if (isOctetSyntax(value.syntax)) {
    result.value.string = {static_cast<smiUINT32>(value.octets.size()),
                           reinterpret_cast<smiLPBYTE>(value.octets.data())};
  } else if (value.syntax == SNMP_SYNTAX_OID) {
    result.value.oid = {static_cast<smiUINT32>(value.oid.size()), value.oid.data()};
  } else {
    result.value.uNumber = static_cast<smiUINT32>(value.number);
  }
  return result;
}


// Reads every binding of a decoded list.
std::vector<VarBind> readBindings(HSNMP_VBL list) {
  std::vector<VarBind> bindings;
  smiUINT32 count = SnmpCountVbl(list);
  for (smiUINT32 index = 1; index <= count; ++index) {
    smiOID name{};
    smiVALUE value{};
    if (SnmpGetVb(list, index, &name, &value) != SNMPAPI_SUCCESS) break;
    VarBind binding;
    if (name.len) binding.name.assign(name.ptr, name.ptr + name.len);
    binding.value = valueFromLibrary(value);
    bindings.push_back(std::move(binding));
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&name));
    releaseLibraryValue(value);
  }
  return bindings;
}

}  // namespace

Wire::Wire() {
  if (SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_SUCCESS) return;
  session_ = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  self_ = session_ ? SnmpStrToEntity(session_, "0.0.0.0") : nullptr;
  if (!self_) session_ = nullptr;
}

Wire::~Wire() { SnmpCleanup(); }

std::optional<Request> Wire::decode(const unsigned char* octets, size_t length) {
  smiOCTETS message{static_cast<smiUINT32>(length), const_cast<smiLPBYTE>(octets)};
  HSNMP_ENTITY source = nullptr, destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;
  if (SnmpDecodeMsg(session_, &source, &destination, &context, &pdu, &message) != SNMPAPI_SUCCESS) {
    return std::nullopt;
  }
  Request request;
  smiINT type = 0, status = 0, index = 0;
  HSNMP_VBL list = nullptr;
  SnmpGetPduData(pdu, &type, &request.requestId, &status, &index, &list);
  request.pduType = static_cast<uint8_t>(type);
  smiOCTETS community{};
  if (SnmpContextToStr(context, &community) == SNMPAPI_SUCCESS && community.len) {
    request.community.assign(reinterpret_cast<const char*>(community.ptr), community.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &community);
  }
  request.bindings = readBindings(list);
  SnmpFreeVbl(list);
  SnmpFreePdu(pdu);
  SnmpFreeContext(context);
  SnmpFreeEntity(source);
  SnmpFreeEntity(destination);
  return request;
}

std::optional<std::string> Wire::encode(const Response& response, const std::string& community) {
  HSNMP_VBL list = SnmpCreateVbl(session_, nullptr, nullptr);
  bool built = list != nullptr;
  for (const VarBind& binding : response.bindings) {
    VarBind copy = binding;
    smiOID name{static_cast<smiUINT32>(copy.name.size()), copy.name.data()};
    smiVALUE value = toLibrary(copy.value);
    built = built && SnmpSetVb(list, 0, &name, &value) == SNMPAPI_SUCCESS;
  }
  smiOCTETS communityOctets{static_cast<smiUINT32>(community.size()),
                            reinterpret_cast<smiLPBYTE>(const_cast<char*>(community.data()))};
  HSNMP_CONTEXT context = SnmpStrToContext(session_, &communityOctets);
  HSNMP_PDU pdu = built ? SnmpCreatePdu(session_, SNMP_PDU_RESPONSE, response.requestId, response.errorStatus,
                                        response.errorIndex, list)
                        : nullptr;
  smiOCTETS message{};
  std::optional<std::string> encoded;
  if (pdu && context && SnmpEncodeMsg(session_, self_, self_, context, pdu, &message) == SNMPAPI_SUCCESS) {
    encoded.emplace(reinterpret_cast<const char*>(message.ptr), message.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
  }
  if (pdu) SnmpFreePdu(pdu);
  if (context) SnmpFreeContext(context);
  if (list) SnmpFreeVbl(list);
  return encoded;
}

}  // namespace simagent
